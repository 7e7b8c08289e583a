// vidmill compressors: one line per listed compressor.
#include "command_compressors.h"

extern "C" {
#include <libavutil/log.h>
}

namespace vidmill::tool {

namespace {

bool IsTrue(VARIANT_BOOL value) { return value != VARIANT_FALSE; }

void PrintEntry(IAviCompressor& compressor) {
    LONG handler = 0;
    cb::Bstr name, description;
    VARIANT_BOOL writing = VARIANT_FALSE;
    Check(compressor.get_Handler(&handler), "Handler");
    Check(compressor.get_Name(name.put()), "Name");
    Check(compressor.get_Description(description.put()), "Description");
    Check(compressor.get_SupportsWriting(&writing), "SupportsWriting");
    std::printf("%s\t%s\t%s\twriting=%s\n", FourCCText(handler).c_str(), name.utf8().c_str(),
                description.utf8().c_str(), IsTrue(writing) ? "yes" : "no");
}

}  // namespace

int RunCompressors(const Arguments& arguments) {
    if (!arguments.empty()) throw CommandFailed{"usage: vidmill compressors"};
    // The writing check opens every encoder; the ones that refuse the probe size say so at length.
    av_log_set_level(AV_LOG_QUIET);
    auto list = Create<IAviCompressors>(2);
    Check(list->Reset(), "Reset");
    for (;;) {
        cb::ComPtr<IAviCompressor> current;
        Check(list->get_Current(current.put()), "Current");
        VARIANT_BOOL valid = VARIANT_FALSE;
        Check(current->get_IsValid(&valid), "IsValid");
        if (!IsTrue(valid)) break;
        PrintEntry(*current);
        VARIANT_BOOL more = VARIANT_FALSE;
        Check(list->Next(&more), "Next");
        if (!IsTrue(more)) break;
    }
    return 0;
}

}  // namespace vidmill::tool
