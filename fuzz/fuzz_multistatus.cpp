// Any bytes as a server's multistatus answer: read whole or refused, never anything between.
#include "carddav/multistatus.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView xml(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const pennacle::Multistatus answer = pennacle::parseMultistatus(xml);
        for (const pennacle::DavResponse& response : answer.responses) {
            FUZZ_CHECK(response.status == 0 || (response.status >= 100 && response.status <= 999));
            FUZZ_CHECK(response.hasAddressData || response.addressData.isEmpty());
            FUZZ_CHECK(qsizetype(response.addressData.size()) <= qsizetype(size) * 4);
        }
    } catch (const pennacle::Failure& failure) {
        FUZZ_CHECK(!failure.description().isEmpty());
    }
    return 0;
}
