#pragma once

#include "app/flowcontext.h"
#include "contacts/contactlist.h"
#include "core/settingsstore.h"

#include <functional>

namespace pennacle {

// The sample files beside the program: which exist is recorded at the first start, and
// "Load Sample/Example Files" adds those that still do.
class SampleFlow {
public:
    struct Window {
        FlowContext context;
        ContactList& contacts;
        SettingsStore& settings;
        const QString& appFolder;
        std::function<void(const CardBytes& card)> showContact;
    };

    explicit SampleFlow(Window window) : window_(std::move(window)) {}

    // Records the sample files unless an earlier start did.
    void recordOnFirstStart();
    // "Load Sample/Example Files".
    void load();

private:
    Window window_;
};

}  // namespace pennacle
