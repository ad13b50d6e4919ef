// The simulated target for the length of one tool run: booted from the
// tool's options, recorded when a trace or a plot is asked for, and at the
// end shut down with the hive saved and the trace and plot written.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "tools/common/signal_recorder.h"
#include "tools/common/target_options.h"

namespace vttools {

class ToolTarget {
public:
    // options must outlive the object; they are read when Boot runs.
    explicit ToolTarget(const TargetOptions& options);
    // Finishes (messages to stderr) when Finish was not called.
    ~ToolTarget();
    ToolTarget(const ToolTarget&) = delete;
    ToolTarget& operator=(const ToolTarget&) = delete;

    // Boots the target (once); with a trace or plot asked for, the
    // recording starts just before. Templates that the registry scripts
    // change over a kept hive are carried to the devices it holds, each with
    // a "note: ..." line on stderr (template_refresh.h). False with *error
    // set when the machine description cannot be read or the boot fails;
    // nothing is left running.
    bool Boot(std::string* error);
    bool booted() const
    {
        return booted_;
    }
    // True when the registry is kept in a hive file (--hive) and so
    // outlives the run.
    bool keepsHive() const
    {
        return !options_.hiveFile.empty();
    }

    // Shuts the target down (saving the hive), then writes the trace and the
    // plot. Returns EXIT_OK, or EXIT_FILE when one of them could not be
    // written, each failure printed on err as "error: PATH: reason". Later
    // calls do nothing and return EXIT_OK.
    int Finish(std::ostream& err);

private:
    const TargetOptions& options_;
    std::unique_ptr<SignalRecorder> recorder_;
    bool booted_ = false;
};

// The exit code of a run whose command ended with command and whose target
// finished with finish: a file that could not be written (the hive not
// saved) outweighs success, a refusal and a stop by a signal, never a
// usage error or a failed boot.
int CombinedExitCode(int command, int finish);

}  // namespace vttools
