// The device setting dialog end to end: DeviceConfig on the booted target,
// the dialog driven as a person would (clicking its buttons, OK, Cancel,
// Escape), observed in the registry and on the board's trigger register.
#include <chrono>
#include <functional>
#include <thread>

#include "library_test_support.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/registry_control.h"

using namespace librarytest;

namespace {

constexpr int kRising0 = 1011;  // bit n: rising 1011 + 2n, falling 1012 + 2n

struct ButtonState {
    bool enabled = false;
    bool checked = false;
};

class DeviceConfigDialog : public LibraryTest {
protected:
    void TearDown() override
    {
        vtsim::SetUiHandler({});
        LibraryTest::TearDown();
    }

    // Shows the dialog for the device at slot; drive runs on the shown
    // dialog (nothing shown: drive never runs). Returns DeviceConfig's result.
    LONG Show(DWORD deviceNumber, const std::function<void(HWND)>& drive)
    {
        shown_ = false;
        vtsim::SetUiHandler([&](vtsim::UiPrompt& prompt) {
            if (prompt.kind == vtsim::UiPrompt::Kind::Dialog) {
                shown_ = true;
                drive(prompt.window);
            }
        });
        const LONG result = DeviceConfig(deviceNumber, 0, nullptr, nullptr, nullptr);
        vtsim::SetUiHandler({});
        return result;
    }

    static ButtonState Button(HWND dialog, int id)
    {
        const vtsim::WindowSnapshot snapshot = vtsim::Snapshot(vtsim::FindControl(dialog, id));
        return {snapshot.enabled, snapshot.checked};
    }

    // Bit n of the result: the falling button of bit n is checked.
    static unsigned CheckedFalling(HWND dialog)
    {
        unsigned falling = 0;
        for (unsigned bit = 0; bit < 4; ++bit) {
            const ButtonState rising = Button(dialog, kRising0 + 2 * static_cast<int>(bit));
            const ButtonState fall = Button(dialog, kRising0 + 1 + 2 * static_cast<int>(bit));
            EXPECT_FALSE(rising.checked && fall.checked) << "bit " << bit;
            falling |= fall.checked ? 1u << bit : 0u;
        }
        return falling;
    }

    static void ClickId(HWND dialog, int id)
    {
        std::string error;
        EXPECT_TRUE(vtsim::Click(vtsim::FindControl(dialog, id), &error)) << id << ": " << error;
    }

    static std::u16string DriverEntry(unsigned slot)
    {
        const char16_t* key = nullptr;
        const DWORD number = NumberOfSlot(slot, &key);
        return EntryPath(key, number);
    }
    static std::u16string ListEntry(unsigned slot)
    {
        return EntryPath(DEVICE_LIST_KEY, NumberOfSlot(slot));
    }
    static DWORD StoredTriggerMode(unsigned slot)
    {
        DWORD mode = 0xDEAD;
        EXPECT_TRUE(ReadDword(DriverEntry(slot), u"TriggerMode", &mode));
        return mode;
    }
    static void StoreTriggerMode(unsigned slot, DWORD mode)
    {
        WriteValue(DriverEntry(slot), u"TriggerMode", REG_DWORD, &mode, sizeof mode);
    }
    static std::u16string DeviceName(unsigned slot)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ListEntry(slot).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return u"<no entry>";
        }
        char16_t text[64] = {};
        DWORD type = 0, size = sizeof text - sizeof(char16_t);
        const LONG status = RegQueryValueExW(key, u"DeviceName", nullptr, &type,
                                             reinterpret_cast<LPBYTE>(text), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::u16string(text) : u"<none>";
    }

    // The DeviceName text the dialog writes for the stored switch id.
    static std::u16string ExpectedName(const std::u16string& model, unsigned slot,
                                       const std::u16string& base)
    {
        DWORD switchId = 0;
        EXPECT_TRUE(ReadDword(DriverEntry(slot), u"SwitchID", &switchId));
        std::u16string id;
        for (char c : std::to_string(switchId)) {
            id.push_back(static_cast<char16_t>(c));
        }
        return model + u" BoardID=" + id + u" I/O=" + base + u"H";
    }

    bool shown_ = false;
};

TEST_F(DeviceConfigDialog, OpensWithTheStoredEdgesAndTheBoardsColumns)
{
    StoreTriggerMode(VTC4100_SLOT, 10);
    unsigned falling = 0xFF;
    bool allEnabled = false;
    std::string caption;
    EXPECT_EQ(Show(NumberOfSlot(VTC4100_SLOT),
                   [&](HWND dialog) {
                       falling = CheckedFalling(dialog);
                       allEnabled = true;
                       for (int id = kRising0; id < kRising0 + 8; ++id) {
                           allEnabled = allEnabled && Button(dialog, id).enabled;
                       }
                       caption = vtsim::Snapshot(dialog).text;
                       ClickId(dialog, IDCANCEL);
                   }),
              0);
    ASSERT_TRUE(shown_);
    EXPECT_EQ(falling, 10u);  // falling on bits 1 and 3, rising on 0 and 2
    EXPECT_TRUE(allEnabled);
    EXPECT_EQ(caption, "VTC-4100/E/VTM-6200K Device Setting");

    // The VTM-6200K interrupts on bits 0 and 1 only: Bit2 and Bit3 are
    // disabled and ignore clicks.
    StoreTriggerMode(VTM6200K_SLOT, 0xF1);
    Show(NumberOfSlot(VTM6200K_SLOT), [&](HWND dialog) {
        EXPECT_TRUE(Button(dialog, 1011).enabled && Button(dialog, 1014).enabled);
        for (int id = 1015; id <= 1018; ++id) {
            EXPECT_FALSE(Button(dialog, id).enabled) << id;
            EXPECT_FALSE(vtsim::Click(vtsim::FindControl(dialog, id)));
        }
        EXPECT_EQ(CheckedFalling(dialog), 1u);
        ClickId(dialog, IDCANCEL);
    });
    EXPECT_TRUE(shown_);
    EXPECT_EQ(vtsim::ModalDialogs().back().ending, vtsim::DialogEnding::ByProgram);
}

TEST_F(DeviceConfigDialog, OkStoresTheClickedEdgesAndWritesTheBoard)
{
    StoreTriggerMode(VTC4100_SLOT, 0);
    vtsim::Board* board = BoardAt(VTC4100_SLOT);
    EXPECT_EQ(Show(NumberOfSlot(VTC4100_SLOT),
                   [&](HWND dialog) {
                       ClickId(dialog, 1014);  // bit 1 falling
                       ClickId(dialog, 1018);  // bit 3 falling
                       ClickId(dialog, 1017);  // and back to rising
                       ClickId(dialog, 1012);  // bit 0 falling
                       EXPECT_EQ(CheckedFalling(dialog), 3u);
                       ClickId(dialog, IDOK);
                   }),
              0);
    EXPECT_EQ(StoredTriggerMode(VTC4100_SLOT), 3u);
    EXPECT_EQ(board->triggerMode(), 3);
    EXPECT_EQ(DeviceName(VTC4100_SLOT), ExpectedName(u"VTC-4100", VTC4100_SLOT, u"e800"));

    // Enter presses the default button, OK, just as well; nothing is left
    // behind (measured after the first confirmation, whose close released
    // the driver's named events).
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    Show(NumberOfSlot(VTC4100_SLOT), [&](HWND dialog) {
        ClickId(dialog, 1016);
        EXPECT_TRUE(vtsim::PressKey(dialog, vtsim::Key::Enter));
    });
    EXPECT_EQ(StoredTriggerMode(VTC4100_SLOT), 7u);
    EXPECT_EQ(board->triggerMode(), 7);
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST_F(DeviceConfigDialog, ConfirmingUnchangedStillWritesAndDropsBitsTheBoardLacks)
{
    StoreTriggerMode(VTM6200K_SLOT, 0xFE);  // bit 1 falling, and bits the board lacks
    const char16_t stale[] = u"stale";
    WriteValue(ListEntry(VTM6200K_SLOT), u"DeviceName", REG_SZ, stale, sizeof stale);
    vtsim::Board* board = BoardAt(VTM6200K_SLOT);

    Show(NumberOfSlot(VTM6200K_SLOT), [&](HWND dialog) { EXPECT_TRUE(vtsim::PressOk(dialog)); });
    EXPECT_EQ(StoredTriggerMode(VTM6200K_SLOT), 2u);
    EXPECT_EQ(board->triggerMode(), 2);
    EXPECT_EQ(DeviceName(VTM6200K_SLOT), ExpectedName(u"VTM-6200K", VTM6200K_SLOT, u"e000"));
}

TEST_F(DeviceConfigDialog, CancelEscapeAndTheCloseBoxWriteNothing)
{
    StoreTriggerMode(VTC4100_SLOT, 5);
    vtsim::Board* board = BoardAt(VTC4100_SLOT);
    const std::uint8_t registerBefore = board->triggerMode();
    const std::string registryBefore = vtsim::ExportRegistryScript();
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();

    const std::function<bool(HWND)> endings[] = {
        [](HWND dialog) { return vtsim::PressCancel(dialog); },
        [](HWND dialog) { return vtsim::PressKey(dialog, vtsim::Key::Escape); },
        [](HWND dialog) { return vtsim::ClickCloseBox(dialog); },
        [](HWND) { return true; },  // nobody ends it: Escape
        // Destroyed while shown: its settings go with it.
        [](HWND dialog) { return DestroyWindow(dialog) != FALSE; },
    };
    for (const auto& end : endings) {
        EXPECT_EQ(Show(NumberOfSlot(VTC4100_SLOT),
                       [&](HWND dialog) {
                           ClickId(dialog, 1011 + 1);
                           ClickId(dialog, 1013);
                           ClickId(dialog, 1018);
                           EXPECT_TRUE(end(dialog));
                       }),
                  0);
        EXPECT_TRUE(shown_);
    }
    EXPECT_EQ(vtsim::ExportRegistryScript(), registryBefore);
    EXPECT_EQ(board->triggerMode(), registerBefore);
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
    EXPECT_TRUE(vtsim::TopLevelWindows().empty());
}

TEST_F(DeviceConfigDialog, AnUnreadableEntryClosesTheDialogBeforeItIsShown)
{
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    vtsim::ClearModalDialogs();
    const std::string registryBefore = vtsim::ExportRegistryScript();

    EXPECT_EQ(Show(200, [](HWND) {}), 0);  // no such device
    EXPECT_FALSE(shown_);

    // An entry with a value that cannot be read (a CallName too long for
    // its buffer) reads as no entry.
    const char16_t longName[] = u"VTD1234567890123:";
    WriteValue(DriverEntry(VTC4100_SLOT), u"CallName", REG_SZ, longName, sizeof longName);
    const std::string registryWithout = vtsim::ExportRegistryScript();
    EXPECT_EQ(Show(NumberOfSlot(VTC4100_SLOT), [](HWND) {}), 0);
    EXPECT_FALSE(shown_);
    EXPECT_EQ(vtsim::ExportRegistryScript(), registryWithout);

    // No memory for the settings: the same.
    vtsim::ArmFault(vtsim::Fault::Allocation, 1);
    EXPECT_EQ(Show(NumberOfSlot(VTM6200K_SLOT), [](HWND) {}), 0);
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::Allocation));
    EXPECT_FALSE(shown_);

    EXPECT_TRUE(vtsim::ModalDialogs().empty());
    EXPECT_TRUE(vtsim::MessageBoxes().empty());
    EXPECT_TRUE(vtsim::TopLevelWindows().empty());
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST_F(DeviceConfigDialog, AnUnknownBoardTypeHasNoColumnsAndWritesNothing)
{
    // The entry names a board type outside the table: every button is
    // disabled; at OK the registry write is refused, and the device does not
    // open either (its stream device reports another board type), so the
    // board keeps its register.
    vtsim::Board* board = BoardAt(VTC4100_SLOT);
    {
        LONG handle = 0;
        ASSERT_EQ(DeviceOpen(NumberOfSlot(VTC4100_SLOT), &handle), API_SUCCESS);
        ASSERT_EQ(WritePortByte(handle, VTC4100_BASE + 0x0C, 0x0F), API_SUCCESS);
        DeviceClose(&handle);
    }
    const DWORD unknown = 99;
    WriteValue(DriverEntry(VTC4100_SLOT), u"BoardID", REG_DWORD, &unknown, sizeof unknown);
    const std::string registryBefore = vtsim::ExportRegistryScript();

    Show(NumberOfSlot(VTC4100_SLOT), [&](HWND dialog) {
        for (int id = 1011; id <= 1018; ++id) {
            EXPECT_FALSE(Button(dialog, id).enabled) << id;
        }
        EXPECT_EQ(CheckedFalling(dialog), 0u);
        ClickId(dialog, IDOK);
    });
    EXPECT_TRUE(shown_);
    EXPECT_EQ(vtsim::ExportRegistryScript(), registryBefore);
    EXPECT_EQ(board->triggerMode(), 0x0F);
}

TEST_F(DeviceConfigDialog, ConfirmingStopsEventsUntilTheyAreEnabledAgain)
{
    const DWORD number = NumberOfSlot(VTC4100_SLOT);
    vtsim::Board* board = BoardAt(VTC4100_SLOT);
    LONG handle = 0;
    ASSERT_EQ(DeviceOpen(number, &handle), API_SUCCESS);
    ASSERT_EQ(EnableEvent(handle, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
    ASSERT_NE(board->interruptEnable() & 1, 0);

    Show(number, [&](HWND dialog) { ClickId(dialog, IDOK); });
    EXPECT_EQ(board->interruptEnable() & 1, 0);
    const auto raised = board->interruptsRaised();
    board->pulseInputLine(0, 0);
    WORD type = 0;
    EXPECT_EQ(CheckEvent(handle, &type, 50), API_SUCCESS);
    EXPECT_EQ(type, EVT_TIMEOUT);
    EXPECT_EQ(board->interruptsRaised(), raised);

    ASSERT_EQ(EnableEvent(handle, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
    board->pulseInputLine(0, 0);
    EXPECT_EQ(CheckEvent(handle, &type, 2000), API_SUCCESS);
    EXPECT_EQ(type, EVT_DI_INTERRUPT0);
    DeviceClose(&handle);
}

TEST_F(DeviceConfigDialog, ASecondDialogWhileOneIsShownClosesAtOnce)
{
    StoreTriggerMode(VTC4100_SLOT, 0);
    const DWORD number = NumberOfSlot(VTC4100_SLOT);
    int shown = 0;
    LONG nested = -5;
    vtsim::SetUiHandler([&](vtsim::UiPrompt& prompt) {
        if (prompt.kind != vtsim::UiPrompt::Kind::Dialog) {
            return;
        }
        ++shown;
        ClickId(prompt.window, 1012);
        nested = DeviceConfig(number, 0, prompt.window, nullptr, nullptr);
        // The first dialog still has its settings: OK stores its edges.
        ClickId(prompt.window, 1014);
        ClickId(prompt.window, IDOK);
    });
    EXPECT_EQ(DeviceConfig(number, 0, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(StoredTriggerMode(VTC4100_SLOT), 3u);
    EXPECT_EQ(BoardAt(VTC4100_SLOT)->triggerMode(), 3);
}

// The shown dialog saves to the device it was shown for: a refused
// DeviceConfig for another device, and a DeviceOpen of it, change nothing
// of the first dialog, and the other device's entries and board stay as
// they were.
TEST_F(DeviceConfigDialog, ARefusedDialogForAnotherDeviceLeavesTheShownOnesDevice)
{
    const DWORD a = NumberOfSlot(VTC4100_SLOT);
    const DWORD b = NumberOfSlot(VTC4100E_SLOT);
    ASSERT_NE(a, b);
    StoreTriggerMode(VTC4100_SLOT, 0);
    StoreTriggerMode(VTC4100E_SLOT, 0);
    const char16_t stale[] = u"stale";
    WriteValue(ListEntry(VTC4100_SLOT), u"DeviceName", REG_SZ, stale, sizeof stale);
    WriteValue(ListEntry(VTC4100E_SLOT), u"DeviceName", REG_SZ, stale, sizeof stale);
    const DWORD otherSwitch = 9;  // not A's: a write of A's would show
    WriteValue(ListEntry(VTC4100E_SLOT), u"SwitchID", REG_DWORD, &otherSwitch, sizeof otherSwitch);
    vtsim::Board* boardA = BoardAt(VTC4100_SLOT);
    vtsim::Board* boardB = BoardAt(VTC4100E_SLOT);
    const std::uint8_t registerB = boardB->triggerMode();

    int shown = 0;
    LONG nested = -5;
    vtsim::SetUiHandler([&](vtsim::UiPrompt& prompt) {
        if (prompt.kind != vtsim::UiPrompt::Kind::Dialog) {
            return;
        }
        ++shown;
        ClickId(prompt.window, 1012);  // bit 0 falling
        nested = DeviceConfig(b, 0, prompt.window, nullptr, nullptr);
        LONG handle = 0;
        EXPECT_EQ(DeviceOpen(b, &handle), API_SUCCESS);
        DeviceClose(&handle);
        ClickId(prompt.window, 1018);  // bit 3 falling
        ClickId(prompt.window, IDOK);
    });
    EXPECT_EQ(DeviceConfig(a, 0, nullptr, nullptr, nullptr), 0);
    vtsim::SetUiHandler({});
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(shown, 1);

    EXPECT_EQ(StoredTriggerMode(VTC4100_SLOT), 9u);
    EXPECT_EQ(boardA->triggerMode(), 9);
    EXPECT_EQ(DeviceName(VTC4100_SLOT), ExpectedName(u"VTC-4100", VTC4100_SLOT, u"e800"));

    EXPECT_EQ(StoredTriggerMode(VTC4100E_SLOT), 0u);
    EXPECT_EQ(boardB->triggerMode(), registerB);
    EXPECT_EQ(DeviceName(VTC4100E_SLOT), u"stale");
    DWORD switchB = 0;
    EXPECT_TRUE(ReadDword(ListEntry(VTC4100E_SLOT), u"SwitchID", &switchB));
    EXPECT_EQ(switchB, otherSwitch);
}

TEST_F(DeviceConfigDialog, BothExportNamesAreOneEntryAndTheDialogHasItsOwner)
{
    EXPECT_EQ(reinterpret_cast<void*>(&DeviceConfig), reinterpret_cast<void*>(&DeviceConfigExt));

    HWND owner = CreateWindowExW(0, u"STATIC", u"Application", WS_POPUP | WS_VISIBLE, 0, 0, 300,
                                 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    bool ownerDisabled = false;
    vtsim::SetUiHandler([&](vtsim::UiPrompt& prompt) {
        ownerDisabled = !IsWindowEnabled(owner);
        EXPECT_TRUE(vtsim::PressCancel(prompt.window));
    });
    EXPECT_EQ(DeviceConfigExt(NumberOfSlot(VTC4100E_SLOT), 7, owner, nullptr, nullptr), 0);
    ASSERT_FALSE(vtsim::ModalDialogs().empty());
    EXPECT_EQ(vtsim::ModalDialogs().back().owner, reinterpret_cast<std::uintptr_t>(owner));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

}  // namespace
