// The registry script's sections: opening, the template scan, the header
// search, locating, appending and deleting sections. Every test compares the
// whole file before and after.
#include "script_fixture.h"

namespace script_test {
namespace {

const std::string T = Header("RLX4100S", 0).substr(0, 49);  // the 49-character prefix

TEST_F(ScriptTest, OpenDerivesTheKeysAndReadsTheWholeFile)
{
    const std::string bytes = "; script\r\n" + Header("RLX4100S", 0) + "\r\n" + '\0' + "tail";
    Given(bytes);
    const struct {
        const char* board;
        const char* key;
    } models[] = {{"VTC4100", "RLX4100S"},
                  {"VTC4100E", "RLX4100ES"},
                  {"VTM6200K", "RLX6200KS"},
                  {"VTC", "RLXS"},
                  {"ABCDEFGHIJKLMNOPQR", "RLXDEFGHIJKLMNOPQRS"}};
    for (const auto& model : models) {
        ASSERT_EQ(Open(model.board), 0) << model.board;
        EXPECT_STREQ(script_.DriverKey(), model.key);
        EXPECT_EQ(std::string(script_.SectionPrefix()), T + model.key + "\\Template");
        EXPECT_EQ(script_.Text(), bytes);
    }
    // A board name whose driver key would pass 19 characters, or none.
    for (const char* board :
         {"ABCDEFGHIJKLMNOPQRS", "ABCDEFGHIJKLMNOPQRST", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(Open(board), static_cast<int>(ERROR_INVALID_PARAMETER));
        EXPECT_STREQ(script_.DriverKey(), "");
    }
    EXPECT_EQ(script_.Open(folder_.TargetPath("TREE/none.reg").c_str(), "VTC4100"),
              static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(script_.Open(folder_.TargetPath("NONE/none.reg").c_str(), "VTC4100"),
              static_cast<int>(ERROR_PATH_NOT_FOUND));
    EXPECT_STREQ(script_.DriverKey(), "") << "nothing is set after a failed open";
    EXPECT_TRUE(script_.Text().empty());
    EXPECT_EQ(Bytes(), bytes);
}

TEST_F(ScriptTest, WithoutMemoryForTheTextTheOpenFailsAndNothingIsLost)
{
    // An empty text would show no templates, and a save of it would lose them.
    const std::string bytes = Header("RLX4100S", 0) + "\r\n\"SwitchID\"=dword:1\r\n";
    Given(bytes);
    vtsim::ArmFault(vtsim::Fault::Allocation, 1);
    EXPECT_EQ(Open(), static_cast<int>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_STREQ(script_.DriverKey(), "");
    DWORD value = 7;
    EXPECT_EQ(script_.WriteValue("RLX4100S", 0, "SwitchID", REG_DWORD, &value, 4), 1);
    EXPECT_EQ(script_.AppendTemplateSection(1), 1);
    EXPECT_EQ(Bytes(), bytes);
}

TEST_F(ScriptTest, ScanReadsHeadersAsTheTargetDoes)
{
    const std::string bytes =
        "[HKEY_LOCAL_MACHINE\\DRIVERS\\BUILTIN\\PCI\\TEMPLATE\\RLX4100S\\TEMPLATE7]\r\n" +
        ("; " + Header("RLX4100S", 2) + "\r\n") + Header("RLX4100S", 1) + " ; note\r\n" +
        Header("RLX4100ES", 3) + "\r\n" + Header("RLX4100S", 12) + "\r\n" + Header("RLX4100S", 16) +
        "\r\n" + T + "RLX4100S\\TemplateX]\r\n" + T + "RLX4100S\\Template5]\r\n; a comment line\r" +
        T + "RLX4100S\\Template9]\n";
    Given(bytes);
    ASSERT_EQ(Open("VTC4100"), 0);
    // Case does not matter; a comment after a header leaves it a header; a
    // lone CR ends a line; a header behind ';' is a comment. Template16 and
    // TemplateX are keys the driver takes for templates: the editor must
    // not change this script, and says where.
    EXPECT_EQ(script_.ScanTemplateNumbers(), (1 << 7) | (1 << 1) | (1 << 12) | (1 << 5) | (1 << 9));
    EXPECT_EQ(script_.HasTemplateSection(9, "RLX4100S"), 1);
    EXPECT_EQ(script_.HasTemplateSection(7, "RLX4100S"), 1);
    EXPECT_EQ(script_.HasTemplateSection(2, "RLX4100S"), 0);
    const ScriptProblem problem = script_.FindProblem("RLX4100S");
    ASSERT_TRUE(problem.Found());
    EXPECT_EQ(problem.line, 6u);
    EXPECT_NE(std::string(problem.reason).find("Template16]"), std::string::npos) << problem.reason;
    EXPECT_EQ(script_.Text(), bytes);
    ASSERT_EQ(Open("VTC4100E"), 0);
    EXPECT_EQ(script_.ScanTemplateNumbers(), 1 << 3);
    EXPECT_FALSE(script_.FindProblem("RLX4100ES").Found());
    EXPECT_EQ(Bytes(), bytes);
}

TEST_F(ScriptTest, NumbersBeyondFifteenAreNeverReadAsTwoDigits)
{
    for (const char* name :
         {"Template100", "Template123", "Template03", "Template1a", "OldTemplate2"}) {
        Given(Header("RLX4100S", 0) + "\r\n" + T + "RLX4100S\\" + name +
              "]\r\n\"SwitchID\"=dword:3\r\n");
        ASSERT_EQ(Open(), 0);
        EXPECT_EQ(script_.ScanTemplateNumbers(), 1) << name;
        EXPECT_EQ(script_.FindProblem("RLX4100S").line, 2u) << name;
    }
    // A key that does not hold "Template" is no template to the driver either.
    Given(Header("RLX4100S", 0) + "\r\n" + T + "RLX4100S\\Notes]\r\n");
    ASSERT_EQ(Open(), 0);
    EXPECT_FALSE(script_.FindProblem("RLX4100S").Found());
}

// A commented-out header of template 1 above the real one, a template 11, a
// '[' in a comment line inside a section, and a section of another key.
const std::string SECTIONS = "; old: " + Header("RLX4100S", 1) + "\r\n" +  //
                             Header("RLX4100S", 11) + "\r\n\"SwitchID\"=dword:2\r\n\r\n" +
                             Header("RLX4100S", 1) + "\r\n\"SwitchID\"=dword:1\r\n" +
                             "; moved from [elsewhere]\r\n\"TriggerMode\"=dword:3\r\n\r\n" +
                             Header("RLX4100ES", 0) + "\r\n\"SwitchID\"=dword:4\r\n";

TEST_F(ScriptTest, HeaderSearchSkipsCommentLinesAndMatchesWholeNumbers)
{
    Given(SECTIONS);
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(script_.HasTemplateSection(1, "RLX4100S"), 1);
    EXPECT_EQ(script_.HasTemplateSection(11, "RLX4100S"), 1);
    EXPECT_EQ(script_.HasTemplateSection(2, "RLX4100S"), 0);
    EXPECT_EQ(script_.HasTemplateSection(1, "RLX4100ES"), 0);
    EXPECT_EQ(script_.HasTemplateSection(0, "RLX4100ES"), 1);
    EXPECT_EQ(script_.HasTemplateSection(0, "RLX4100S"), 0) << "RLX4100S is not RLX4100ES";
    EXPECT_EQ(script_.HasTemplateSection(1, "rlx4100s"), 1) << "registry names ignore case";
    EXPECT_EQ(script_.HasTemplateSection(1, nullptr), 0);
    EXPECT_EQ(script_.HasTemplateSection(1, std::string(120, 'K').c_str()), 0)
        << "search text too long";

    // The real header of template 1, not the commented one; the section runs
    // past the '[' inside the comment line to the next header.
    const std::size_t start = SECTIONS.find(Header("RLX4100S", 1) + "\r\n\"SwitchID\"=dword:1");
    script_.LocateTemplateSection("RLX4100S", 1);
    EXPECT_TRUE(script_.SectionFound());
    EXPECT_EQ(script_.SectionStart(), start);
    EXPECT_EQ(script_.SectionEnd(), SECTIONS.find(Header("RLX4100ES", 0)));
    DWORD type = 0, value = 0, size = 4;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 1, "TriggerMode", &type, &value, &size), 0);
    EXPECT_EQ(value, 3u);

    script_.LocateTemplateSection("RLX4100S", 11);
    EXPECT_EQ(script_.SectionStart(), SECTIONS.find(Header("RLX4100S", 11)));
    EXPECT_EQ(script_.SectionEnd(), start);
    script_.LocateTemplateSection("RLX4100ES", 0);
    EXPECT_EQ(script_.SectionEnd(), SECTIONS.size()) << "the last section runs to the end";
    script_.LocateTemplateSection("RLX4100S", 5);
    EXPECT_FALSE(script_.SectionFound());
    EXPECT_EQ(script_.SectionStart(), SECTIONS.size());
    EXPECT_EQ(script_.SectionEnd(), SECTIONS.size());
    EXPECT_EQ(Bytes(), SECTIONS);
}

TEST_F(ScriptTest, HeadersOfOtherFormsNameTheSameKeys)
{
    // The short root, blanks before the path, a trailing separator and a
    // header that is not at a line's start are the target's forms too; a
    // key path without the template key's names is another key.
    const std::string bytes =
        "RLX4100S\\Template0]\r\n\"A\"=dword:1\r\n"
        "[HKLM\\RLX4100S\\Template1]\r\n"
        "  [ HKLM\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template2\\]\r\n"
        "\"SwitchID\"=dword:2\r\n"
        "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template3\\Sub]\r\n";
    Given(bytes);
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(script_.ScanTemplateNumbers(), 1 << 2);
    script_.LocateTemplateSection("RLX4100S", 2);
    EXPECT_EQ(script_.SectionStart(), bytes.find("[ HKLM"));
    EXPECT_EQ(script_.SectionEnd(), bytes.find("[HKEY"));
    DWORD type = 0, value = 0, size = 4;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 2, "SwitchID", &type, &value, &size), 0);
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(script_.DeleteTemplateSection(2, "RLX4100S"), 0);
    EXPECT_EQ(Bytes(), bytes.substr(0, bytes.find("[ HKLM")) + bytes.substr(bytes.find("[HKEY")));
}

TEST_F(ScriptTest, AppendWritesTheHeaderBetweenSpacedLineBreaks)
{
    Given("X");
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(script_.AppendTemplateSection(3), 0);
    const std::string expected = "X \r\n" + Header("RLX4100S", 3) + " \r\n";
    EXPECT_EQ(Bytes(), expected);
    EXPECT_EQ(script_.Text(), expected) << "read again";
    EXPECT_EQ(script_.HasTemplateSection(3, "RLX4100S"), 1);
    EXPECT_EQ(script_.ScanTemplateNumbers(), 1 << 3);

    // A failing write reaches the caller and changes nothing.
    vtsim::ArmFault(vtsim::Fault::FileWrite, 1);
    EXPECT_THROW(script_.AppendTemplateSection(4), vtfw::FileException);
    EXPECT_EQ(Bytes(), expected);
    script_.Close();
    EXPECT_EQ(script_.AppendTemplateSection(4), 1) << "no script open";
}

TEST_F(ScriptTest, DeleteCutsWholeSections)
{
    const std::string head = "; templates\r\n\r\n";
    const std::string t0 = Header("RLX4100S", 0) + "\r\n\"SwitchID\"=dword:1\r\n" + "; was " +
                           Header("RLX4100S", 9) + "\r\n\r\n";
    const std::string t1 = Header("RLX4100S", 1) + "\r\n\"SwitchID\"=dword:2\r\n\r\n; next\r\n";
    const std::string t2 = Header("RLX4100S", 2) + "\r\n\"SwitchID\"=dword:3\r\n";
    Given(head + t0 + t1 + t2);

    // The last section: the file is cut right before its '['.
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(script_.DeleteTemplateSection(2, "RLX4100S"), 0);
    EXPECT_EQ(Bytes(), head + t0 + t1);
    EXPECT_EQ(script_.Text(), head + t0 + t1);
    // A section before another: the text before it joins the next '['; the
    // commented header inside it goes with it instead of becoming a header.
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(script_.DeleteTemplateSection(0, "RLX4100S"), 0);
    EXPECT_EQ(Bytes(), head + t1);
    EXPECT_EQ(script_.Text(), head + t1);
    // A template that is not there.
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(script_.DeleteTemplateSection(5, "RLX4100S"), 0);
    EXPECT_EQ(script_.DeleteTemplateSection(1, "RLX4100ES"), 0);
    EXPECT_EQ(Bytes(), head + t1);
}

}  // namespace
}  // namespace script_test
