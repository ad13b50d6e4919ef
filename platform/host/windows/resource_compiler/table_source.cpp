// Writing a compiled script as the C++ source of a resource table.
#include "platform/host/windows/resource_compiler/table_source.h"

#include <iomanip>
#include <sstream>

#include "platform/host/kernel/utf.h"

namespace vtsim::rc {
namespace {

constexpr int kBytesPerLine = 16;

void WriteBytes(std::ostringstream& out, const std::vector<std::uint8_t>& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out << (i % kBytesPerLine == 0 ? "\n    " : " ") << "0x" << std::hex << std::setw(2)
            << std::setfill('0') << static_cast<unsigned>(bytes[i]) << std::dec << ",";
    }
    out << "\n";
}

}  // namespace

std::string TableSource(const CompiledScript& script, const std::string& scriptPath)
{
    std::ostringstream out;
    out << "// The resource table of " << scriptPath << ", written by vtrc: do not edit.\n"
        << "#include \"platform/host/windows/module_resources.h\"\n\n"
        << "namespace {\n\n";
    for (std::size_t i = 0; i < script.resources.size(); ++i) {
        const CompiledResource& resource = script.resources[i];
        out << "alignas(4) const std::uint8_t kData" << i << "[] = {";
        WriteBytes(out, resource.data.empty() ? std::vector<std::uint8_t>{0} : resource.data);
        out << "};\n";
        if (!resource.name.empty()) {
            // The name as UTF-16 code units, so that no character needs
            // escaping in the source.
            std::u16string name;
            std::size_t bad = 0;
            internal::DecodeUtf8(resource.name, &name, &bad);
            out << "const char16_t kName" << i << "[] = {";
            for (char16_t c : name) {
                out << "0x" << std::hex << static_cast<unsigned>(c) << std::dec << ", ";
            }
            out << "0};\n";
        }
        out << "\n";
    }
    out << "const vtsim::internal::ResourceEntry kEntries[] = {\n";
    for (std::size_t i = 0; i < script.resources.size(); ++i) {
        const CompiledResource& resource = script.resources[i];
        out << "    {" << resource.type << ", " << resource.id << ", "
            << (resource.name.empty() ? std::string("nullptr") : "kName" + std::to_string(i))
            << ", kData" << i << ", " << resource.data.size() << "},\n";
    }
    if (script.resources.empty()) {
        out << "    {0, 0, nullptr, nullptr, 0},\n";
    }
    out << "};\n\n"
        << "}  // namespace\n\n"
        << "extern \"C\" __attribute__((visibility(\"hidden\"))) const "
           "vtsim::internal::ResourceTable\n"
        << "    vt_module_resource_table = {kEntries, " << script.resources.size() << "};\n";
    return out.str();
}

}  // namespace vtsim::rc
