// Any bytes as the form file of "pennacle-cli build": read, written back, and built into a
// card that settles by the second rebuild.
#include "cli/formjson.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    pennacle::CardForm form;
    try {
        form = pennacle::cli::formFromJson(json);
    } catch (const pennacle::Failure&) {
        return 0;  // told to the user as a usage error
    }
    FUZZ_CHECK(pennacle::cli::formFromJson(pennacle::cli::formToJson(form)) == form);
    try {
        pennacle::cli::checkPhotoTypes(form);
    } catch (const pennacle::Failure&) {
        return 0;  // build refuses it
    }

    fuzz::checkRebuildSettles(form);
    return 0;
}
