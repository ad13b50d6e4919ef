// Setting templates that changed over a kept hive, carried to the devices
// the hive already holds.
//
// The driver takes a board's trigger edges from its model's template (the
// first whose SwitchID is the board's switch) only when it publishes the
// board for the first time; at every later start the edges stored in the
// device's own entry win. A kept hive holds those entries, so a template
// edited in a platform tree and imported over the hive would never reach
// the boards published before. TemplateRefresh closes that gap: what the
// templates offered in the kept hive is noted before the scripts are
// imported; afterwards, for each switch whose template now offers other
// edges (or is new), every stored device of that model whose entry records
// that switch takes the template's edges in its entry, so that the driver
// writes them to the board at this boot. Devices whose template did not
// change keep their stored edges (those the device setting dialog stored,
// say); a removed template changes nothing.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vttools {

// One device entry that took a changed template's edges.
struct RefreshedDevice {
    unsigned deviceNumber = 0;
    std::uint32_t boardType = 0;
    std::uint32_t switchId = 0;
    std::uint32_t storedMode = 0;    // the entry's TriggerMode before
    std::uint32_t templateMode = 0;  // the template's, now the entry's
};

class TemplateRefresh {
public:
    // Notes what each model's templates offer in the registry as it is now
    // (the kept hive, before the scripts are imported).
    void NoteTemplates();
    // Compares the templates now (the scripts imported) with those noted
    // and writes the changed ones' TriggerMode into the matching device
    // entries of the models' driver keys. Returns the entries it changed,
    // in model and device number order; nothing when NoteTemplates was not
    // called. A value that cannot be written leaves its entry as it was.
    // Runs in one thread, with the registry of a target not yet running
    // its drivers.
    std::vector<RefreshedDevice> CarryChanges();

    // "device N (MODEL, switch S): trigger mode 0x.. of its changed
    // template, was 0x.. in the kept hive".
    static std::string Describe(const RefreshedDevice& device);

private:
    // Per board type: switch -> the TriggerMode its template offers.
    using Offers = std::map<std::uint32_t, std::map<std::uint32_t, std::uint32_t>>;
    static Offers ReadOffers();

    Offers before_;
    bool noted_ = false;
};

}  // namespace vttools
