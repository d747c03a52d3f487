// Runtime defaults of the sanitizer builds, linked into every executable of such a build (see
// cmake/Sanitizers.cmake). The environment variables of the same names override them.

extern "C" {

// Leak checking on; any report ends the program with a failing exit code. Allocation stacks are
// unwound fully (the system's Qt has no frame pointers), so that a leak inside a system library
// shows that library's frames and the suppressions below can name it. A module preloaded into a
// program (the install checks' output probe) comes before the runtime in the library list; it
// is not instrumented and allocates through the runtime, so the order is not checked.
const char* __asan_default_options()
{
    return "detect_leaks=1:fast_unwind_on_malloc=0:detect_stack_use_after_return=1:"
           "check_initialization_order=1:strict_init_order=1:verify_asan_link_order=0";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

const char* __tsan_default_options()
{
    return "halt_on_error=1:second_deadlock_stack=1";
}

// Leaks of system libraries that the program cannot free. Each pattern names a system library's
// module, never the program's code: a leak is suppressed only when one of the frames that
// allocated it lies inside that library.
//  - libqoffscreen.so: Qt's offscreen platform plugin (used by the tests) never deletes its
//    screen and cursor.
const char* __lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n";
}

// Races inside Qt, which is not instrumented: the hand-offs through its own mutexes are invisible
// to the thread sanitizer. Both patterns name Qt functions that the program never calls:
//  - QTest::qRun deletes the test library's watchdog thread object after joining it;
//  - QWaitCondition::~QWaitCondition destroys the watchdog's condition the same way.
const char* __tsan_default_suppressions()
{
    return "race:QTest::qRun\n"
           "race:QWaitCondition::~QWaitCondition\n";
}

} // extern "C"
