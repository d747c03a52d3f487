// quorstudio-engine-host: the engine in a process of its own. The window and quorstudio-run
// start it and speak to it through its standard input and output; it is not meant to be run by
// hand.

#include "enginehost.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char**)
{
    if (argc > 1) {
        std::fputs("quorstudio-engine-host runs the reasoning engine for QuorStudio and "
                   "quorstudio-run, which start it; it takes no arguments.\n",
                   stderr);
        return 2;
    }
    // A client that has gone away makes writes fail instead of ending the process unannounced.
    std::signal(SIGPIPE, SIG_IGN);
    // An engine that calls exit() ends the host at once with its status: the engine library's
    // static destructors would otherwise run while the host's other threads still wait on its
    // objects, and could hang there.
    on_exit([](int status, void*) { std::_Exit(status); }, nullptr);
    // A larger pipe lets the client take a flood's messages in fewer, larger reads, as it takes
    // them from the window's own engine worker. Not every system allows it; the default works.
    fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20);
    EngineHost host(STDIN_FILENO, STDOUT_FILENO);
    const int status = host.run();
    // Not a return from main: the reading thread may still be blocked in read(), and nothing
    // is buffered (frames go out with write()).
    std::_Exit(status);
}
