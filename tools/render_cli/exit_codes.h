// The render tool's exit codes, as --help lists them.
#pragma once

enum ExitCode : int {
    kExitSuccess = 0,
    kExitFailure = 1,       // a run-time failure: a file unreadable or unwritable, a render that failed
    kExitUsage = 2,         // the command line cannot be carried out as given
    kExitInterrupted = 130  // Ctrl-C, as shells report a process ended by SIGINT
};
