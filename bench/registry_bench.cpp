// The simulated target's registry at scale: importing a script with many
// values in one key or many sibling keys, and finding one of them, at two
// sizes a decade apart, so that the times show how the cost grows (ten times
// the entries should cost about ten times as much to import, and the same
// to find).
#include <benchmark/benchmark.h>

#include <string>

#include "platform/host/control/registry_control.h"
#include "platform/registry.h"

namespace {

std::string ValuesScript(long count)
{
    std::string script = "[HKEY_LOCAL_MACHINE\\Bench\\Values]\n";
    for (long i = 0; i < count; ++i) {
        script += "\"Value" + std::to_string(i) + "\"=dword:" + std::to_string(i % 10) + "\n";
    }
    return script;
}

std::string KeysScript(long count)
{
    std::string script;
    for (long i = 0; i < count; ++i) {
        script += "[HKEY_LOCAL_MACHINE\\Bench\\Keys\\Key" + std::to_string(i) + "]\n";
    }
    return script;
}

void Import(benchmark::State& state, const std::string& script)
{
    for (auto _ : state) {
        vtsim::ResetRegistry();
        std::string error;
        if (!vtsim::ImportRegistryScript(script, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    vtsim::ResetRegistry();
}

void BM_ImportValuesInOneKey(benchmark::State& state)
{
    Import(state, ValuesScript(state.range(0)));
}
BENCHMARK(BM_ImportValuesInOneKey)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportSiblingKeys(benchmark::State& state)
{
    Import(state, KeysScript(state.range(0)));
}
BENCHMARK(BM_ImportSiblingKeys)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Opening the last of the sibling keys and reading the last value of the
// big key.
void BM_FindAmongMany(benchmark::State& state)
{
    const long count = state.range(0);
    vtsim::ResetRegistry();
    std::string error;
    if (!vtsim::ImportRegistryScript(ValuesScript(count) + KeysScript(count), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string keyName = "Bench\\Keys\\Key" + std::to_string(count - 1);
    const std::u16string key(keyName.begin(), keyName.end());
    const std::string valueName = "Value" + std::to_string(count - 1);
    const std::u16string value(valueName.begin(), valueName.end());
    HKEY values = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Bench\\Values", 0, KEY_READ, &values);
    for (auto _ : state) {
        HKEY found = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &found) != ERROR_SUCCESS) {
            state.SkipWithError("key not found");
            break;
        }
        RegCloseKey(found);
        DWORD data = 0, size = sizeof(data);
        if (RegQueryValueExW(values, value.c_str(), nullptr, nullptr,
                             reinterpret_cast<LPBYTE>(&data), &size) != ERROR_SUCCESS) {
            state.SkipWithError("value not found");
            break;
        }
        benchmark::DoNotOptimize(data);
    }
    RegCloseKey(values);
    vtsim::ResetRegistry();
}
BENCHMARK(BM_FindAmongMany)->Arg(10000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
