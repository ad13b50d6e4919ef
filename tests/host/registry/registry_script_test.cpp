// Registry scripts: import edge cases and the export round trip.
#include <fstream>

#include "tests/host/registry/registry_test_support.h"

namespace {

using namespace registry_test;
using Script = RegistryTest;

DWORD AsDword(const Stored& stored)
{
    EXPECT_EQ(stored.data.size(), 4u);
    return stored.data.size() == 4
               ? stored.data[0] | (stored.data[1] << 8) | (stored.data[2] << 16) |
                     (static_cast<DWORD>(stored.data[3]) << 24)
               : 0xDEADBEEF;
}

TEST_F(Script, ImportsEveryValueFormWithCommentsContinuationsAndCrLf)
{
    const std::string script =
        "; board package\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\Rlx4100S]  ; template key\r\n"
        "   \"Dll\" = \"Rlx4100S.dll\"\r\n"
        "\"Prefix\"=\"VTD\" ; trailing comment\r\n"
        "\"Order\"=dword:0000000a\r\n"
        "\"Text\"=\"semi;colon \\\"quoted\\\" back\\\\slash C:\\dir\"\r\n"
        "\"Ids\"=hex:01,02,\\\r\n"
        "     ff, 7F,\\  ; comment after a continuation\r\n"
        "     00\r\n"
        "\"List\"=multi_sz:\"a\",\"b;c\",\\\r\n"
        "   \"\"\r\n"
        "\"Raw7\"=hex(7):61,00,00,00,00,00\r\n"
        "@=dword:1\r\n"
        "[HKLM\\Drivers\\BuiltIn\\PCI\\Template\\Rlx4100S\\Template0]\r\n"
        "\"SwitchID\"=DWORD:00000003\r\n";
    std::string error;
    ASSERT_TRUE(vtsim::ImportRegistryScript(script, &error)) << error;
    const char16_t* key = u"Drivers\\BuiltIn\\PCI\\Template\\RLX4100S";
    EXPECT_EQ(Query(key, u"Dll").type, REG_SZ);
    EXPECT_EQ(Query(key, u"Dll").data, WideBytes(u"Rlx4100S.dll"));
    EXPECT_EQ(Query(key, u"Prefix").data, WideBytes(u"VTD"));
    EXPECT_EQ(AsDword(Query(key, u"Order")), 10u);
    EXPECT_EQ(Query(key, u"Text").data, WideBytes(u"semi;colon \"quoted\" back\\slash C:\\dir"));
    EXPECT_EQ(Query(key, u"Ids").type, REG_BINARY);
    EXPECT_EQ(Query(key, u"Ids").data, (std::vector<BYTE>{1, 2, 0xFF, 0x7F, 0}));
    EXPECT_EQ(Query(key, u"List").type, REG_MULTI_SZ);
    std::vector<BYTE> list = WideBytes(u"a");
    for (auto part : {u"b;c", u""}) {
        auto bytes = WideBytes(part);
        list.insert(list.end(), bytes.begin(), bytes.end());
    }
    list.push_back(0);
    list.push_back(0);
    EXPECT_EQ(Query(key, u"List").data, list)
        << "each string terminated, then the list's own terminator";
    EXPECT_EQ(Query(key, u"Raw7").type, REG_MULTI_SZ);
    EXPECT_EQ(Query(key, u"Raw7").data, (std::vector<BYTE>{0x61, 0, 0, 0, 0, 0}));
    EXPECT_EQ(AsDword(Query(key, u"")), 1u);
    EXPECT_EQ(AsDword(Query(u"Drivers\\BuiltIn\\PCI\\Template\\Rlx4100S\\Template0", u"SwitchID")),
              3u);
}

TEST_F(Script, AcceptsUtf16WithByteOrderMarkAndUtf8Text)
{
    std::u16string text = u"[HKEY_LOCAL_MACHINE\\Caf\u00e9]\n\"Name\"=\"\u00c9t\u00e9 \u20ac\"\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    std::string error;
    ASSERT_TRUE(vtsim::ImportRegistryScript(bytes, &error)) << error;
    EXPECT_EQ(Query(u"CAF\u00c9", u"name").data, WideBytes(u"\u00c9t\u00e9 \u20ac"));

    ASSERT_TRUE(
        vtsim::ImportRegistryScript("\xEF\xBB\xBF[HKLM\\Utf8]\n\"V\"=\"\xE2\x82\xAC\"", &error))
        << error;
    EXPECT_EQ(Query(u"Utf8", u"V").data, WideBytes(u"\u20ac"));
}

TEST_F(Script, BadLinesAreRefusedWithTheirLineNumberAndEarlierLinesStay)
{
    struct Case {
        const char* script;
        const char* where;
    };
    const Case cases[] = {
        {"[HKLM\\A]\n\"One\"=dword:1\n\n\"Two\"=dword:123456789\n\"Three\"=dword:3\n",
         "registry script:4:"},
        {"\"Orphan\"=dword:1\n", ":1:"},
        {"[HKEY_CURRENT_USER\\X]\n", ":1:"},
        {"[HKLM\\A]\n\"V\"=hex:01,0g\n", ":2:"},
        {"[HKLM\\A]\n\"V\"=hex:01,\\\n  02,\n\"W\"=dword:1\n", ":2:"},
        {"[HKLM\\A]\n\"V\"=\"unterminated\n", ":2:"},
        {"[HKLM\\A]\n\"V\"=multi_sz:\"a\" \"b\"\n", ":2:"},
        {"[HKLM\\A]\n\"V\"=text\n", ":2:"},
        {"[HKLM\\A\n", ":1:"},
        {"[HKLM\\A]\r\nnonsense\r\n", ":2:"},
        {"[HKLM\\A]\n\"V\"=\"x\" trailing\n", ":2:"},
        {"[HKLM\\A]\n\"V\"=\"\xC3\x28\"\n", ":2:"},
    };
    for (const Case& c : cases) {
        vtsim::ResetRegistry();
        std::string error;
        EXPECT_FALSE(vtsim::ImportRegistryScript(c.script, &error)) << c.script;
        EXPECT_NE(error.find(c.where), std::string::npos) << c.script << " -> " << error;
    }
    vtsim::ResetRegistry();
    std::string error;
    vtsim::ImportRegistryScript(cases[0].script, &error);
    EXPECT_EQ(AsDword(Query(u"A", u"One")), 1u) << "lines before the bad one stay imported";
    EXPECT_EQ(Query(u"A", u"Three").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(Script, FileImportNamesTheFile)
{
    const std::string path = ::testing::TempDir() + "registry_script_test.reg";
    std::ofstream(path, std::ios::binary) << "[HKLM\\F]\n\"V\"=dword:2\n\"W\"=bogus\n";
    std::string error;
    EXPECT_FALSE(vtsim::ImportRegistryScriptFile(path, &error));
    EXPECT_EQ(error.rfind(path + ":3:", 0), 0u) << error;
    EXPECT_EQ(AsDword(Query(u"F", u"V")), 2u);
    EXPECT_FALSE(vtsim::ImportRegistryScriptFile(path + ".missing", &error));
    std::remove(path.c_str());
}

TEST_F(Script, ExportRoundTripsTheWholeHiveFaithfully)
{
    HKEY key = Create(u"Odd]Names;Key\\Child \"q\"");
    const BYTE noTerminator[] = {'a', 0, 'b', 0};
    const BYTE oddText[] = {'a', 0, 'b'};
    const BYTE embeddedNul[] = {'a', 0, 0, 0, 'b', 0, 0, 0};
    const BYTE shortDword[] = {1, 2};
    const BYTE emptyMulti[] = {0, 0};
    const BYTE badMulti[] = {'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0, 0, 0};
    const BYTE loneSurrogate[] = {'a', 0, 0x3D, 0xD8, 0, 0};
    std::vector<BYTE> large(300);
    for (std::size_t i = 0; i < large.size(); ++i) {
        large[i] = static_cast<BYTE>(i * 7);
    }
    const std::vector<BYTE> text = WideBytes(u"line\\with \"quotes\" ; and \u20ac \U0001F600");
    const std::vector<BYTE> newline = WideBytes(u"two\nlines");
    const std::vector<BYTE> multi = {'x', 0, 0, 0, 'y', 0, 'z', 0, 0, 0, 0, 0};
    struct Row {
        const char16_t* name;
        DWORD type;
        const BYTE* data;
        std::size_t size;
    } rows[] = {
        {u"Text", REG_SZ, text.data(), text.size()},
        {u"NoTerminator", REG_SZ, noTerminator, sizeof(noTerminator)},
        {u"OddText", REG_SZ, oddText, sizeof(oddText)},
        {u"EmbeddedNul", REG_SZ, embeddedNul, sizeof(embeddedNul)},
        {u"Newline", REG_SZ, newline.data(), newline.size()},
        {u"LoneSurrogate", REG_SZ, loneSurrogate, sizeof(loneSurrogate)},
        {u"ShortDword", REG_DWORD, shortDword, sizeof(shortDword)},
        {u"Multi", REG_MULTI_SZ, multi.data(), multi.size()},
        {u"EmptyMulti", REG_MULTI_SZ, emptyMulti, sizeof(emptyMulti)},
        {u"BadMulti", REG_MULTI_SZ, badMulti, sizeof(badMulti)},
        {u"Large", REG_BINARY, large.data(), large.size()},
        {u"Expand", REG_EXPAND_SZ, text.data(), text.size()},
        {u"Type42", 0x42, shortDword, sizeof(shortDword)},
        {u"Empty", REG_BINARY, nullptr, 0},
        {u"quote\"back\\slash", REG_DWORD, large.data(), 4},
        {u"", REG_SZ, text.data(), text.size()},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(
            RegSetValueExW(key, row.name, 0, row.type, row.data, static_cast<DWORD>(row.size)),
            ERROR_SUCCESS);
    }
    RegCloseKey(key);
    RegCloseKey(Create(u"Zeta\\Empty"));
    RegCloseKey(Create(u"alpha"));
    // Blanks at the ends of key names belong to the names.
    RegCloseKey(Create(u"Zeta\\Blank \\Two  "));
    HKEY root = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"", 0, 0, &root);
    const DWORD seven = 7;
    RegSetValueExW(root, u"RootValue", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4);
    RegCloseKey(root);

    const std::string exported = vtsim::ExportRegistryScript();
    vtsim::ResetRegistry();
    std::string error;
    ASSERT_TRUE(vtsim::ImportRegistryScript(exported, &error)) << error << "\n" << exported;
    EXPECT_EQ(vtsim::ExportRegistryScript(), exported);
    for (const Row& row : rows) {
        Stored stored = Query(u"odd]names;key\\child \"Q\"", row.name);
        EXPECT_EQ(stored.type, row.type);
        EXPECT_EQ(stored.data, std::vector<BYTE>(row.data, row.data + row.size))
            << std::string(row.name, row.name + std::char_traits<char16_t>::length(row.name));
    }
    EXPECT_EQ(Subkeys(u""), (std::vector<std::u16string>{u"Odd]Names;Key", u"Zeta", u"alpha"}));
    EXPECT_EQ(Subkeys(u"Zeta"), (std::vector<std::u16string>{u"Empty", u"Blank "}));
    EXPECT_EQ(Subkeys(u"Zeta\\Blank "), (std::vector<std::u16string>{u"Two  "}));
    EXPECT_EQ(AsDword(Query(u"", u"RootValue")), 7u);
}

}  // namespace
