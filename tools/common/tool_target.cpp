#include "tools/common/tool_target.h"

#include <iostream>

#include "platform/host/control/signal_observer.h"
#include "tools/common/exit_codes.h"
#include "tools/common/template_refresh.h"
#include "tools/common/timing_plot.h"
#include "tools/common/vcd_file.h"

namespace vttools {

ToolTarget::ToolTarget(const TargetOptions& options) : options_(options) {}

ToolTarget::~ToolTarget()
{
    Finish(std::cerr);
}

bool ToolTarget::Boot(std::string* error)
{
    if (booted_) {
        return true;
    }
    vtsim::BootOptions boot;
    if (!BootOptionsOf(options_, &boot, error)) {
        return false;
    }
    if (!options_.traceFile.empty() || !options_.plotFile.empty()) {
        recorder_ = std::make_unique<SignalRecorder>();
        vtsim::SetSignalObserver(recorder_.get());
    }
    // Templates that the scripts change over a kept hive reach the devices
    // it holds (template_refresh.h).
    TemplateRefresh templates;
    std::vector<RefreshedDevice> refreshed;
    boot.registryStage = [&](vtsim::RegistryStage stage) {
        if (stage == vtsim::RegistryStage::HiveLoaded) {
            templates.NoteTemplates();
        } else {
            refreshed = templates.CarryChanges();
        }
    };
    if (!vtsim::Boot(boot, error)) {
        vtsim::SetSignalObserver(nullptr);
        recorder_.reset();
        return false;
    }
    for (const RefreshedDevice& device : refreshed) {
        std::cerr << "note: " << TemplateRefresh::Describe(device) << "\n";
    }
    booted_ = true;
    return true;
}

int ToolTarget::Finish(std::ostream& err)
{
    if (!booted_) {
        return EXIT_OK;
    }
    booted_ = false;
    int result = EXIT_OK;
    std::string error;
    if (!vtsim::Shutdown(&error)) {
        err << "error: the hive was not saved: " << error << "\n";
        result = EXIT_FILE;
    }
    if (recorder_ != nullptr) {
        vtsim::SetSignalObserver(nullptr);
        const Trace trace = recorder_->Finish();
        recorder_.reset();
        if (!options_.traceFile.empty() && !WriteVcdFile(trace, options_.traceFile, &error)) {
            err << "error: the trace was not written: " << error << "\n";
            result = EXIT_FILE;
        }
        if (!options_.plotFile.empty() && !WriteTimingPlot(trace, options_.plotFile, &error)) {
            err << "error: the plot was not drawn: " << error << "\n";
            result = EXIT_FILE;
        }
    }
    return result;
}

int CombinedExitCode(int command, int finish)
{
    if (finish != EXIT_OK &&
        (command == EXIT_OK || command == EXIT_FAILED || command > EXIT_SIGNAL_BASE)) {
        return finish;
    }
    return command;
}

}  // namespace vttools
