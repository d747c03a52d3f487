#ifndef RESOURCEINIT_H
#define RESOURCEINIT_H

// Registers the compiled-in icons (":/resources/..."), which live in a static library and
// are not registered by themselves. Safe to call more than once.
void initResources();

#endif
