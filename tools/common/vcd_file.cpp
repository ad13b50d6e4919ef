#include "tools/common/vcd_file.h"

#include <cerrno>
#include <ctime>
#include <fstream>

#include "platform/host/control/host_files.h"

namespace vttools {

namespace {

// The short identifier of signal index, in printable characters; '#' and
// '$' are left out, as readers take them for a time or a keyword.
std::string Identifier(std::size_t index)
{
    static const std::string digits = [] {
        std::string all;
        for (char c = '!'; c <= '~'; ++c) {
            if (c != '#' && c != '$') {
                all.push_back(c);
            }
        }
        return all;
    }();
    std::string id;
    do {
        id.push_back(digits[index % digits.size()]);
        index /= digits.size();
    } while (index != 0);
    return id;
}

// A name as a VCD reference: no blanks or '$' (they would end the token).
std::string Reference(const std::string& name)
{
    std::string reference;
    for (char c : name) {
        reference.push_back(c == ' ' || c == '\t' || c == '$' ? '_' : c);
    }
    return reference;
}

std::string Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc = {};
    gmtime_r(&now, &utc);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

}  // namespace

void WriteVcd(const Trace& trace, std::ostream& out)
{
    out << "$date " << Now() << " $end\n"
        << "$version signal trace of the simulated target (vtdio, vtsim) $end\n"
        << "$comment\n";
    for (const auto& [group, title] : trace.groupTitles) {
        out << "  " << group << ": " << title << "\n";
    }
    if (trace.truncated) {
        out << "  changes after the first " << SignalRecorder::kMaxChanges << " were dropped\n";
    }
    out << "$end\n"
        << "$timescale 1ns $end\n"
        << "$scope module target $end\n";
    std::string group;
    for (std::size_t i = 0; i < trace.signals.size(); ++i) {
        const TracedSignal& signal = trace.signals[i];
        if (signal.group != group) {
            if (!group.empty()) {
                out << "$upscope $end\n";
            }
            group = signal.group;
            out << "$scope module " << Reference(group) << " $end\n";
        }
        out << "$var wire 1 " << Identifier(i) << " " << Reference(signal.name) << " $end\n";
    }
    if (!group.empty()) {
        out << "$upscope $end\n";
    }
    out << "$upscope $end\n"
        << "$enddefinitions $end\n"
        << "#0\n$dumpvars\n";
    for (std::size_t i = 0; i < trace.signals.size(); ++i) {
        out << '0' << Identifier(i) << "\n";
    }
    out << "$end\n";
    std::uint64_t time = 0;
    for (const SignalChange& change : trace.changes) {
        if (change.timeNs != time) {
            time = change.timeNs;
            out << '#' << time << "\n";
        }
        out << (change.value ? '1' : '0') << Identifier(change.signal) << "\n";
    }
    if (trace.endNs > time) {
        out << '#' << trace.endNs << "\n";
    }
}

bool WriteVcdFile(const Trace& trace, const std::string& path, std::string* error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        WriteVcd(trace, out);
        out.flush();
    }
    if (!out) {
        *error = path + ": " + vtsim::HostErrorText(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

}  // namespace vttools
