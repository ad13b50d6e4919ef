// The board package's own scripts: every model scanned, every template
// loaded and saved again with its values, and not one byte changed.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "script_fixture.h"

namespace script_test {
namespace {

std::string ReadPackage(const char* name)
{
    std::ifstream in(std::filesystem::path(VT_SOURCE_DIR) / "packages" / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(ScriptTest, PackageScriptsSurviveScanLoadAndSaveUnchanged)
{
    const struct {
        const char* file;
        int expected[3];  // template sets of VTC4100, VTC4100E, VTM6200K
    } packages[] = {{"VTC4100.reg", {0b11, 0b1, 0}}, {"VTM6200K.reg", {0, 0, 0b1}}};
    const char* boards[] = {"VTC4100", "VTC4100E", "VTM6200K"};

    for (const auto& package : packages) {
        const std::string bytes = ReadPackage(package.file);
        ASSERT_FALSE(bytes.empty()) << package.file;
        Given(bytes);
        int loadedTemplates = 0;
        for (int model = 0; model < 3; ++model) {
            ASSERT_EQ(Open(boards[model]), 0);
            const int numbers = script_.ScanTemplateNumbers();
            script_.Close();
            EXPECT_EQ(numbers, package.expected[model]) << package.file << " " << boards[model];
            for (int n = 0; n < 16; ++n) {
                if ((numbers & (1 << n)) == 0) {
                    continue;
                }
                TemplateValues values;
                ASSERT_TRUE(Load(boards[model], n, &values)) << boards[model] << " " << n;
                Save(boards[model], n, values);
                ++loadedTemplates;
            }
        }
        EXPECT_GT(loadedTemplates, 0);
        EXPECT_EQ(Bytes(), bytes) << package.file;
    }

    // The values the stream driver will find there.
    Given(ReadPackage("VTC4100.reg"));
    TemplateValues values;
    ASSERT_TRUE(Load("VTC4100", 1, &values));
    EXPECT_EQ(values, (TemplateValues{3, 0}));
    ASSERT_TRUE(Load("VTC4100E", 0, &values));
    EXPECT_EQ(values, (TemplateValues{2, 0xa}));
}

}  // namespace
}  // namespace script_test
