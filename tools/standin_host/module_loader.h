// Loads an effect module the way a host does and finds its two entry points.
#pragma once

#include <string>

#include "platform/pf_entry.h"

class LoadedModule {
public:
    // Throws std::runtime_error when the module or an entry point is missing.
    explicit LoadedModule(const std::string& path);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    PluginDataEntryFunctionPtr pluginDataEntry() const { return pluginDataEntry_; }
    PF_FilterProc effectMain() const { return effectMain_; }

private:
    void* symbol(const char* name) const;

    void* library_ = nullptr;
    PluginDataEntryFunctionPtr pluginDataEntry_ = nullptr;
    PF_FilterProc effectMain_ = nullptr;
};
