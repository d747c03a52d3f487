// Runtime defaults of the sanitizer builds, linked into every executable of such a build (see
// cmake/Sanitizers.cmake). The environment variables of the same names override them.

extern "C" {

// Leak checking on; any report ends the program with a failing exit code. A module preloaded
// into a program (the install checks' output probe) comes before the runtime in the library
// list; it is not instrumented and allocates through the runtime, so the order is not checked.
const char* __asan_default_options()
{
    return "detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:"
           "strict_init_order=1:verify_asan_link_order=0";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

const char* __tsan_default_options()
{
    return "halt_on_error=1:second_deadlock_stack=1";
}

// Leaks of system libraries that the program cannot free. Qt's offscreen platform plugin (used
// by the tests) never deletes its screen and cursor; they point at each other, so all of their
// blocks are reported as indirect leaks. Qt has no frame pointers, so an allocation's stack ends
// at the first Qt function; each pattern names such a function of Qt's (or the plugin), never
// the program's code:
//  - the plugin itself, and the screen objects it makes (QScreen, QPlatformScreen, the screen
//    registration);
//  - QObject::QObject: the private part of a QObject (here the plugin's cursor). A QObject of the
//    program's that leaked would still be reported by its own block, allocated in the program;
//  - ExternalRefCountData::getAndRef: the guard block of a QPointer to such an object.
const char* __lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n"
           "leak:QScreen::QScreen\n"
           "leak:QPlatformScreen::QPlatformScreen\n"
           "leak:QWindowSystemInterface::handleScreenAdded\n"
           "leak:QObject::QObject\n"
           "leak:QtSharedPointer::ExternalRefCountData::getAndRef\n";
}

// Qt is not instrumented: the hand-offs through its own mutexes (futexes) are invisible to the
// thread sanitizer, which would take them for races. The program announces its one hand-off, the
// engine message blocks (QuorW::takeOver); the rest lies inside Qt:
//  - called_from_lib: the calls that Qt Core and GLib (Qt's event loop) make to the sanitizer's
//    interceptors (allocations, their own waits) are not checked, so the queued-call arguments
//    that Qt allocates on the polling thread and reads on the GUI thread, and the blocks GLib's
//    allocator passes between Qt's helper threads, are not reported;
//  - QTest::qRun and QWaitCondition::~QWaitCondition delete the test library's watchdog thread
//    object and its condition after joining it.
// Each names a Qt library or function; the program's own accesses are all still checked.
const char* __tsan_default_suppressions()
{
    return "called_from_lib:libQt5Core.so\n"
           "called_from_lib:libglib-2.0.so\n"
           "race:QTest::qRun\n"
           "race:QWaitCondition::~QWaitCondition\n";
}

} // extern "C"
