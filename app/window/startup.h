#ifndef STARTUP_H
#define STARTUP_H

// The steps of the program's start-up around the creation of the application object, shared by
// main() and the start-up benchmark so that both start the same way.

// Before the application object exists: registers the "size_t" meta-type alias that queued
// engine messages need, and keeps the X11 platform from loading an OpenGL stack the program
// never uses (it costs some 50 MB of resident memory and 40 ms of start-up).
void prepareProcess();

// After the application object exists: the program's name and version, the compiled-in icons
// and the window icon.
void prepareApplication();

#endif
