// Resources: the resource compiler's output as the program finds it through
// FindResourceW/LoadBitmapW (this test program's own test_resources.rc,
// compiled by vtrc at build time), and scripts that the compiler refuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/host/windows/dialog_template.h"
#include "platform/host/windows/resource_compiler/script_compiler.h"
#include "platform/host/windows/resource_compiler/script_tokens.h"
#include "platform/kernel.h"
#include "platform/resources.h"
#include "platform/ui.h"
#include "tests/host/windows/test_resource_ids.h"

namespace {

std::vector<std::uint8_t> ResourceBytes(LPCWSTR name, LPCWSTR type)
{
    HRSRC resource = FindResourceW(nullptr, name, type);
    if (resource == nullptr) {
        return {};
    }
    const auto* data =
        static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, resource)));
    return {data, data + SizeofResource(nullptr, resource)};
}

TEST(CompiledResources, DialogIsTheExtendedTemplateOfTheScript)
{
    std::vector<std::uint8_t> bytes = ResourceBytes(MAKEINTRESOURCEW(IDD_SAMPLE), RT_DIALOG);
    ASSERT_GT(bytes.size(), 26u);
    // dlgVer 1, signature 0xFFFF, as a Windows resource compiler writes.
    EXPECT_EQ((std::vector<std::uint8_t>{bytes.begin(), bytes.begin() + 4}),
              (std::vector<std::uint8_t>{0x01, 0x00, 0xFF, 0xFF}));

    vtsim::internal::DialogTemplateData dialog;
    ASSERT_TRUE(vtsim::internal::ReadDialogTemplate(bytes.data(), bytes.size(), &dialog));
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.style, static_cast<std::uint32_t>(DS_MODALFRAME | WS_POPUP | WS_CAPTION |
                                                       WS_SYSMENU | DS_SETFONT));
    EXPECT_EQ(dialog.exStyle, static_cast<std::uint32_t>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(dialog.x, 10);
    EXPECT_EQ(dialog.y, 20);
    EXPECT_EQ(dialog.cx, 200);
    EXPECT_EQ(dialog.cy, 120);
    EXPECT_EQ(dialog.title, u"Sample \"dialog\"");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, u"MS Sans Serif");
    ASSERT_EQ(dialog.items.size(), 10u);

    const auto& ok = dialog.items[0];
    EXPECT_EQ(ok.id, static_cast<std::uint32_t>(IDOK));
    EXPECT_TRUE(ok.windowClass.isOrdinal);
    EXPECT_EQ(ok.windowClass.ordinal, 0x80);
    EXPECT_EQ(ok.style,
              static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON));
    EXPECT_EQ(ok.title.text, u"OK");
    EXPECT_EQ(ok.x, 20);
    EXPECT_EQ(ok.y, 95);
    EXPECT_EQ(ok.cx, 50);
    EXPECT_EQ(ok.cy, 14);

    const auto& group = dialog.items[2];
    EXPECT_EQ(group.id, 0xFFFFFFFFu);  // IDC_STATIC
    EXPECT_EQ(group.style, static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | BS_GROUPBOX));

    // CONTROL lines add WS_CHILD | WS_VISIBLE to the style they give.
    const auto& first = dialog.items[3];
    EXPECT_EQ(first.style,
              static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP));
    EXPECT_EQ(dialog.items[5].style,
              static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON));

    const auto& label = dialog.items[7];
    EXPECT_EQ(label.windowClass.ordinal, 0x82);
    EXPECT_EQ(label.style, static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT));
    EXPECT_EQ(label.title.text, u"&Name:");

    // An EDITTEXT's own styles are added to its defaults.
    const auto& edit = dialog.items[8];
    EXPECT_EQ(edit.windowClass.ordinal, 0x81);
    EXPECT_EQ(edit.style, static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | WS_BORDER |
                                                     WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL));
    EXPECT_TRUE(edit.title.empty());

    // A picture names its bitmap by id.
    const auto& picture = dialog.items[9];
    EXPECT_TRUE(picture.title.isOrdinal);
    EXPECT_EQ(picture.title.ordinal, IDB_SAMPLE);
}

TEST(CompiledResources, BitmapIsTheFileWithoutItsFileHeader)
{
    std::ifstream in(TEST_BITMAP_PATH, std::ios::binary);
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), 14u);
    EXPECT_EQ(ResourceBytes(MAKEINTRESOURCEW(IDB_SAMPLE), RT_BITMAP),
              std::vector<std::uint8_t>(file.begin() + 14, file.end()));

    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_SAMPLE));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}

TEST(CompiledResources, MissingResourcesAreReportedByKind)
{
    SetLastError(0);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(999), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
    // A dialog's id is no bitmap's.
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), RT_BITMAP), nullptr);
    // A handle no module's resources were registered under.
    static const char notAModule = 0;
    auto* stranger = reinterpret_cast<HMODULE>(const_cast<char*>(&notAModule));
    EXPECT_EQ(FindResourceW(stranger, MAKEINTRESOURCEW(IDD_SAMPLE), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);

    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(998)), nullptr);
    EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(999), nullptr, nullptr, 0), -1);
    EXPECT_EQ(CreateDialogParamW(nullptr, MAKEINTRESOURCEW(999), nullptr, nullptr, 0), nullptr);
}

// ---- Scripts the compiler refuses ----------------------------------------------------

class ScriptErrors : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() /
               ("vtrc_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // The error message of compiling the script, or "" when it compiled.
    std::string ErrorOf(const std::string& path)
    {
        try {
            vtsim::rc::CompileScript(path, {});
        } catch (const vtsim::rc::ScriptError& error) {
            return error.what();
        }
        return "";
    }

    std::filesystem::path dir_;
};

TEST_F(ScriptErrors, EachFaultIsReportedWithItsFileAndLine)
{
    const std::string head = "#include <windows.h>\n1 DIALOGEX 0, 0, 10, 10\nBEGIN\n";
    struct Case {
        std::string body;
        std::string where;  // ":line: " and the start of the message
    } cases[] = {
        {head + "    PUSHBUTTON \"A\", 1, 0, 0, 5, 5, WS_BOGUS\nEND\n",
         ":4: unknown name 'WS_BOGUS'"},
        {head + "    PUSHBUTTON \"A\" 1, 0, 0, 5, 5\nEND\n", ":4: ',' expected"},
        {head + "    SLIDER \"A\", 1, 0, 0, 5, 5\nEND\n", ":4: unknown control 'SLIDER'"},
        {head + "    LTEXT \"A\", 1, 0, 0, 70000, 5\nEND\n", ":4: the value 70000 does not fit"},
        {head + "    LTEXT \"A\", 1, 0, 0, 5, 5\n", ":4: END expected"},
        {head + "    LTEXT \"unterminated, 1, 0, 0, 5, 5\nEND\n", ":4:"},
        {"#include <windows.h>\n\n2 BITMAP \"missing.bmp\"\n", ":3: cannot find bitmap"},
        {"#include <windows.h>\n2 ICON \"x.ico\"\n", ":2: unknown resource type"},
        {"#include <nonesuch.h>\n", ":1: unknown system header"},
        // IDC_STATIC is the resource editors' (winres.h, afxres.h), not windows.h's.
        {head + "    LTEXT \"A\", IDC_STATIC, 0, 0, 5, 5\nEND\n", ":4: unknown name 'IDC_STATIC'"},
        {"#include \"absent.h\"\n", ":1:"},
        {"#ifdef X\n1 DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n", ":"},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n1 DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n",
         ":4: a resource of this type and name is already defined"},
    };
    for (const Case& c : cases) {
        std::string path = Write("bad.rc", c.body);
        std::string error = ErrorOf(path);
        EXPECT_EQ(error.rfind(path + c.where, 0), 0u) << c.body << "\n-> " << error;
    }
}

TEST_F(ScriptErrors, AFaultInAnIncludedFileNamesThatFile)
{
    std::string header = Write("ids.h", "#define GOOD 1\n#define BAD (2 +\n");
    std::string script = Write("script.rc", "#include \"ids.h\"\nBAD DIALOGEX 0, 0, 1, 1\n");
    std::string error = ErrorOf(script);
    // The macro's text came from the header, the use from the script: either
    // place is a fair report, but it must be one of the two with its line.
    EXPECT_TRUE(error.rfind(header + ":2:", 0) == 0 || error.rfind(script + ":2:", 0) == 0)
        << error;

    Write("nested.h", "#define X 1\n#error stop here\n");
    std::string outer = Write("outer.rc", "\n#include \"nested.h\"\n");
    EXPECT_EQ(ErrorOf(outer).rfind((dir_ / "nested.h").string() + ":2:", 0), 0u) << ErrorOf(outer);
}

TEST_F(ScriptErrors, TheCompilerProgramFailsAndWritesNothing)
{
    std::string script = Write("bad.rc", "1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  LTEXT \"A\" 1\nEND\n");
    std::string output = (dir_ / "out.cpp").string();
    std::string log = (dir_ / "log.txt").string();
    std::string command = std::string(VTRC_PATH) + " " + script + " " + output + " 2>" + log;
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(std::filesystem::exists(output));
    std::ifstream in(log);
    std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(message.rfind(script + ":3: ", 0), 0u) << message;

    std::string good = Write("good.rc", "7 DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n");
    command = std::string(VTRC_PATH) + " " + good + " " + output + " --depfile " + output + ".d";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(output));
    std::ifstream depfile(output + ".d");
    std::string rule((std::istreambuf_iterator<char>(depfile)), std::istreambuf_iterator<char>());
    EXPECT_NE(rule.find(good), std::string::npos) << rule;
}

}  // namespace
