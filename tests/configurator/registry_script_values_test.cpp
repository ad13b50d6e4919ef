// The registry script's value lines: the worked example of a new template
// and its two follow-ups, the value kinds as read and as written, where added
// and replaced lines go, and the table-driven access. Every test compares the
// whole file before and after.
#include <cstring>

#include "script_fixture.h"

namespace script_test {
namespace {

const std::string BASE =
    "; Board package\r\n" + Header("RLX4100S", 1) + "\r\n\"SwitchID\"=dword:1\r\n";

TEST_F(ScriptTest, WorkedExampleAndItsFollowUps)
{
    Given(BASE);
    Save("VTC4100", 0, {10, 5});
    const std::string added =
        " \r\n"
        "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template0] \r\n"
        "\n"
        "\"SwitchID\"=dword:a\r\n"
        "\n"
        "\"TriggerMode\"=dword:5\r\n";
    ASSERT_EQ(Bytes(), BASE + added);

    // SwitchID 3 replaces its line in place.
    Save("VTC4100", 0, {3, 5});
    std::string replaced = BASE + added;
    replaced.replace(replaced.find("dword:a"), 7, "dword:3");
    EXPECT_EQ(Bytes(), replaced);
    // Unchanged values write the same bytes again.
    Save("VTC4100", 0, {3, 5});
    EXPECT_EQ(Bytes(), replaced);

    TemplateValues loaded;
    EXPECT_TRUE(Load("VTC4100", 0, &loaded));
    EXPECT_EQ(loaded, (TemplateValues{3, 5}));
    loaded = {};
    EXPECT_FALSE(Load("VTC4100", 1, &loaded)) << "template 1 has no TriggerMode";
    EXPECT_EQ(loaded.switchId, 1u) << "a value already read stays";
    EXPECT_FALSE(Load("VTC4100", 2, &loaded));
}

TEST_F(ScriptTest, ReadValueKinds)
{
    const std::string bytes = Header("RLX4100S", 0) +
                              "\r\n"
                              "\"SwitchID\"=dword:0000000F\r\n"
                              "\"Bytes\"=hex:01, 02,03\r\n"
                              "\"Name\"=\"VTC board\"\r\n"
                              "\"List\"=multi_sz:\"a\",\"b\"\r\n"
                              "\"XTriggerMode\"=dword:7\r\n"
                              "\"TriggerMode\"=dword:5 ; falling\r\n";
    Given(bytes);
    ASSERT_EQ(Open(), 0);
    DWORD type = 0, size = 4, value = 0;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "SwitchID", &type, &value, &size), 0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value, 15u);

    BYTE data[16] = {};
    size = sizeof data;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Bytes", &type, data, &size), 0);
    EXPECT_EQ(type, REG_BINARY);
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(data[0] * 0x10000 + data[1] * 0x100 + data[2], 0x010203);

    char text[16] = {};
    size = sizeof text;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Name", &type, text, &size), 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::string(text, size), "VTC board");

    size = sizeof data;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "List", &type, data, &size), 0);
    EXPECT_EQ(type, REG_MULTI_SZ);
    EXPECT_EQ(size, 0u);

    // A name is matched whole, as the target sets values: XTriggerMode is
    // another value.
    size = 4;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "TriggerMode", &type, &value, &size), 0);
    EXPECT_EQ(value, 5u);
    size = 4;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "triggermode", &type, &value, &size), 0)
        << "without regard to case";
    EXPECT_EQ(value, 5u);

    // Only the size asked for; a destination too small; no such value.
    size = 0;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Bytes", &type, nullptr, &size), 1);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 3u);
    BYTE small[2] = {0xEE, 0xEE};
    size = sizeof small;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Bytes", &type, small, &size), 1);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(small[0], 0xEE) << "untouched";
    size = sizeof text;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Name", &type, text, &size), 0);
    size = 8;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Name", &type, text, &size), 1) << "9 > 8";
    type = 99;
    size = 4;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Missing", &type, &value, &size), 1);
    EXPECT_EQ(script_.ReadValue("RLX4100S", 1, "SwitchID", &type, &value, &size), 1);
    EXPECT_EQ(type, 99u) << "nothing output";
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "", &type, &value, &size), 1);
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "SwitchID", nullptr, &value, &size), 1);
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "SwitchID", &type, &value, nullptr), 1);
    EXPECT_EQ(Bytes(), bytes);
}

TEST_F(ScriptTest, MalformedLinesAreReadAsTheTargetReadsThem)
{
    const std::string bytes = Header("RLX4100S", 0) +
                              "\r\n"
                              "\"Short\"\r\n"
                              "\"Big\"=dword:123456789AB\r\n"
                              "\"Spaced\"=dword: 3\r\n"
                              "\"Odd\"=hex:1,2,3\r\n"
                              "\"Run\"=hex:123456\r\n"
                              "\"Cut\"=hex:01,02;03\r\n"
                              "\"Empty\"=dword:\r\n"
                              "\"Twice\"=dword:1\r\n"
                              "\"Twice\"=dword:2\r\n"
                              "\"Joined\"=hex:01,\\\r\n"
                              "  02\r\n"
                              "\"Escaped\"=\"a\\\"b;c\" ; note\r\n";
    Given(bytes);
    ASSERT_EQ(Open(), 0);
    DWORD type = 0, size = 0, value = 0;
    char text[8];
    // Lines the target refuses give nothing.
    for (const char* name : {"Short", "Big", "Run", "Empty"}) {
        size = sizeof text;
        type = 99;
        EXPECT_EQ(script_.ReadValue("RLX4100S", 0, name, &type, text, &size), 1) << name;
        EXPECT_EQ(type, 99u) << name;
    }
    size = 4;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Spaced", &type, &value, &size), 0);
    EXPECT_EQ(value, 3u) << "blanks after dword: are allowed";
    size = 4;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Twice", &type, &value, &size), 0);
    EXPECT_EQ(value, 2u) << "the last assignment wins";
    BYTE data[8];
    size = sizeof data;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Odd", &type, data, &size), 0);
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(data[2], 3);
    size = sizeof data;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Cut", &type, data, &size), 0);
    EXPECT_EQ(size, 2u) << "up to the comment";
    size = sizeof data;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Joined", &type, data, &size), 0);
    ASSERT_EQ(size, 2u) << "a line ending in a backslash continues";
    EXPECT_EQ(data[1], 2);
    size = sizeof text;
    EXPECT_EQ(script_.ReadValue("RLX4100S", 0, "Escaped", &type, text, &size), 0);
    EXPECT_EQ(std::string(text, size), "a\"b;c") << "a ';' inside quotes is text";
    EXPECT_EQ(Bytes(), bytes);
}

TEST_F(ScriptTest, WrittenValueForms)
{
    Given(BASE);
    ASSERT_EQ(Open(), 0);
    const char name[10] = "abc\0def";
    const BYTE bytes[] = {0x0A, 0xFF, 0x00};
    const DWORD zero = 0, big = 0xABCDEF12;
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, "Text", REG_SZ, name, sizeof name), 0);
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, "Bin", REG_BINARY, bytes, sizeof bytes), 0);
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, "Zero", REG_DWORD, &zero, 4), 0);
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, "Big", REG_DWORD, &big, 4), 0);
    const std::string written = BASE +
                                "\n\"Text\"=\"abc\"\r\n\n\"Bin\"=hex:0A,FF,00\r\n"
                                "\n\"Zero\"=dword:0\r\n\n\"Big\"=dword:abcdef12\r\n";
    EXPECT_EQ(Bytes(), written);

    // Refused, writing nothing: another type, a line over 255 characters, no
    // data, no name.
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, "List", REG_MULTI_SZ, bytes, 3), 1);
    const std::string longName(244, 'N');  // 244 + 2 + 7 + 1 digit + 2 = 256
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, longName.c_str(), REG_DWORD, &zero, 4), 1);
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, longName.c_str() + 1, REG_DWORD, &zero, 4), 0);
    const std::string fits = "\n\"" + longName.substr(1) + "\"=dword:0\r\n";
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, "Zero", REG_DWORD, nullptr, 4), 1);
    EXPECT_EQ(script_.WriteValue("RLX4100S", 1, "", REG_DWORD, &zero, 4), 1);
    EXPECT_EQ(Bytes(), written + fits);
}

TEST_F(ScriptTest, WriteValueWithoutTheTemplateWritesNothing)
{
    Given(BASE);
    ASSERT_EQ(Open(), 0);
    const DWORD value = 9;
    EXPECT_EQ(script_.WriteValue("RLX4100S", 0, "SwitchID", REG_DWORD, &value, 4), 1);
    EXPECT_EQ(script_.WriteValue("RLX4100ES", 1, "SwitchID", REG_DWORD, &value, 4), 1);
    EXPECT_EQ(Bytes(), BASE);
}

TEST_F(ScriptTest, AValueMissingFromAnEarlierSectionGoesIntoThatSection)
{
    const std::string t0 = Header("RLX4100S", 0) + "\r\n\"SwitchID\"=dword:1\r\n";
    const std::string rest =
        "\r\n; VTC-4100E\r\n" + Header("RLX4100ES", 0) + "\r\n\"SwitchID\"=dword:2\r\n";
    Given(t0 + rest);
    Save("VTC4100", 0, {1, 6});
    EXPECT_EQ(Bytes(), t0 + "\"TriggerMode\"=dword:6\r\n" + rest);
    TemplateValues loaded;
    EXPECT_TRUE(Load("VTC4100", 0, &loaded));
    EXPECT_EQ(loaded, (TemplateValues{1, 6}));
    EXPECT_FALSE(Load("VTC4100E", 0, &loaded)) << "no TriggerMode went there";
}

TEST_F(ScriptTest, ReplacingALineKeepsWhatFollowsIt)
{
    // Lines ending in a bare LF: the old line ends at its LF.
    const std::string lf = Header("RLX4100S", 0) +
                           "\n\"SwitchID\"=dword:1\n\"TriggerMode\"=dword:2\n\n" +
                           Header("RLX4100S", 1) + "\n\"SwitchID\"=dword:3\n";
    Given(lf);
    Save("VTC4100", 0, {9, 2});
    std::string expected = lf;
    expected.replace(expected.find("dword:1\n"), 8, "dword:9\r\n");
    expected.replace(expected.find("dword:2\n"), 8, "dword:2\r\n");
    EXPECT_EQ(Bytes(), expected);

    // A trailing comment goes with its line, a comment line below stays;
    // a last line without a break is replaced up to the end of the file.
    const std::string crlf = Header("RLX4100S", 0) + "\r\n\"SwitchID\"=dword:1 ; main\r\n" +
                             "; TriggerMode below\r\n\"TriggerMode\"=dword:2";
    Given(crlf);
    ASSERT_EQ(Open(), 0);
    const DWORD value = 4;
    EXPECT_EQ(script_.WriteValue("RLX4100S", 0, "SwitchID", REG_DWORD, &value, 4), 0);
    EXPECT_EQ(Bytes(), Header("RLX4100S", 0) +
                           "\r\n\"SwitchID\"=dword:4\r\n; TriggerMode below\r\n" +
                           "\"TriggerMode\"=dword:2");

    // A longer name that holds the name is another value, and a
    // commented-out header above the real one is no header: the value is
    // added to the real section.
    const std::string nested = "; " + Header("RLX4100S", 0) + " old\r\n" + Header("RLX4100S", 0) +
                               "\r\n\"OldSwitchID\"=dword:1\r\n";
    Given(nested);
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(script_.WriteValue("RLX4100S", 0, "SwitchID", REG_DWORD, &value, 4), 0);
    EXPECT_EQ(Bytes(), "; " + Header("RLX4100S", 0) + " old\r\n" + Header("RLX4100S", 0) +
                           "\r\n\"OldSwitchID\"=dword:1\r\n\n\"SwitchID\"=dword:4\r\n");
}

TEST_F(ScriptTest, AccessValuesStopsWritingAtTheFirstFailure)
{
    Given(BASE);
    DWORD one = 1, two = 2;
    BYTE list[2] = {};
    ScriptValueEntry rows[] = {{"A", REG_DWORD, 4, &one},
                               {"L", REG_MULTI_SZ, 2, list},
                               {"B", REG_DWORD, 4, &two},
                               {nullptr, 0, 0, nullptr}};
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(script_.AccessValues("RLX4100S", 1, rows, SCRIPT_ACCESS_WRITE), 0);
    // "A" also stands in the header line (HKEY_LOCAL_MACHINE), which holds no
    // value: the value is added, and the header stays whole.
    EXPECT_EQ(Bytes(), BASE + "\n\"A\"=dword:1\r\n");
    EXPECT_EQ(script_.AccessValues("RLX4100S", 1, nullptr, SCRIPT_ACCESS_WRITE), 0);
    ScriptValueEntry none[] = {{nullptr, 0, 0, nullptr}};
    EXPECT_EQ(script_.AccessValues("RLX4100S", 1, none, SCRIPT_ACCESS_WRITE), 1);
    EXPECT_EQ(script_.AccessValues("RLX4100S", 1, none, SCRIPT_ACCESS_READ), 1);

    // An error of the file layer while writing is caught and reported; the
    // write failed before changing anything.
    vtsim::ArmFault(vtsim::Fault::FileWrite, 1);
    EXPECT_EQ(script_.AccessValues("RLX4100S", 1, rows + 2, SCRIPT_ACCESS_WRITE), 0);
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::FileWrite));
    EXPECT_EQ(Bytes(), BASE + "\n\"A\"=dword:1\r\n");
}

TEST_F(ScriptTest, AccessValuesReadsEveryRowAndReportsTheLast)
{
    Given(BASE);
    ASSERT_EQ(Open(), 0);
    DWORD missing = 77, switchId = 0;
    ScriptValueEntry lastMissing[] = {{"SwitchID", REG_DWORD, 4, &switchId},
                                      {"Missing", REG_DWORD, 4, &missing},
                                      {nullptr, 0, 0, nullptr}};
    EXPECT_EQ(script_.AccessValues("RLX4100S", 1, lastMissing, SCRIPT_ACCESS_READ), 0);
    EXPECT_EQ(switchId, 1u) << "read although the result is 0";
    EXPECT_EQ(missing, 77u);
    switchId = 0;
    ScriptValueEntry firstMissing[] = {
        {"Missing", 0, 4, &missing}, {"SwitchID", 0, 4, &switchId}, {nullptr, 0, 0, nullptr}};
    EXPECT_EQ(script_.AccessValues("RLX4100S", 1, firstMissing, 7), 1);
    EXPECT_EQ(switchId, 1u);
    EXPECT_EQ(firstMissing[1].type, REG_DWORD) << "type and size found in the file";
    EXPECT_EQ(firstMissing[0].type, 0u) << "untouched";
    EXPECT_EQ(Bytes(), BASE);
}

}  // namespace
}  // namespace script_test
