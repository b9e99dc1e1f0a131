// plugin_loader.h - loads the built plug-in and looks its exports up by
// their plain names, the way a host application does.
#pragma once

#include <stdexcept>
#include <string>

#include <dlfcn.h>

#include "pixkit.h"

struct LoadedPlugin {
    void* handle = nullptr;
    PixkitFilterFn shade = nullptr;
    PixkitFilterFn sharp = nullptr;
    PixkitAdjustToneFn adjustTone = nullptr;
    PixkitGammaEffectFn gammaEffect = nullptr;

    explicit LoadedPlugin(const char* path) {
        handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) throw std::runtime_error(std::string("dlopen: ") + dlerror());
        shade = reinterpret_cast<PixkitFilterFn>(Find("Shade"));
        sharp = reinterpret_cast<PixkitFilterFn>(Find("Sharp"));
        adjustTone = reinterpret_cast<PixkitAdjustToneFn>(Find("AdjustTone"));
        gammaEffect = reinterpret_cast<PixkitGammaEffectFn>(Find("GammaEffect"));
    }
    ~LoadedPlugin() { dlclose(handle); }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

private:
    void* Find(const char* name) {
        void* symbol = dlsym(handle, name);
        if (symbol == nullptr) throw std::runtime_error(std::string("missing export ") + name);
        return symbol;
    }
};

// One instance for the whole test program.
inline LoadedPlugin& Plugin() {
    static LoadedPlugin plugin(PIXKIT_PATH);
    return plugin;
}
