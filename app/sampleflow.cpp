#include "app/sampleflow.h"

#include "cards/samplefiles.h"

namespace pennacle {

void SampleFlow::recordOnFirstStart() {
    if (window_.settings.ReadSetting(QStringLiteral("Snapshot"), QString()).isEmpty())
        RecordSampleSnapshot(window_.settings, window_.appFolder);
}

void SampleFlow::load() {
    const FlowContext& context = window_.context;
    Guard g(context.reporter, windowTag("PushButton7_Click"));
    g(100, [&] {
        LoadSampleFiles(
            window_.contacts.entries(),
            [&](std::vector<ContactEntry> rows) { window_.contacts.append(std::move(rows)); },
            {window_.settings, context.dialogs, context.reporter, window_.appFolder,
             context.appTitle});
    });
    g(102, [&] {
        if (!window_.contacts.isEmpty())
            window_.showContact(window_.contacts.current()->card);
    });
}

}  // namespace pennacle
