#include "media/library/compressor_list.h"

#include "cbplatform/bstr.h"
#include "media/library/library_call.h"
#include "vidmill/vidmill.h"

namespace composer {

namespace {

CompressorEntry EntryOf(vidmill::IAviCompressor& compressor) {
    CompressorEntry entry;
    LONG number = 0;
    CheckLibraryCall(compressor.get_Handler(&number));
    entry.handler = number;
    cb::Bstr text;
    CheckLibraryCall(compressor.get_Name(text.put()));
    entry.name = text.utf8();
    CheckLibraryCall(compressor.get_Description(text.put()));
    entry.description = text.utf8();
    VARIANT_BOOL flag = VARIANT_FALSE;
    CheckLibraryCall(compressor.get_SupportsQuality(&flag));
    entry.supportsQuality = flag != VARIANT_FALSE;
    CheckLibraryCall(compressor.get_DefaultQuality(&number));
    entry.defaultQuality = number;
    CheckLibraryCall(compressor.get_DefaultKeyFrameRate(&number));
    entry.defaultKeyFrameRate = number;
    return entry;
}

}  // namespace

std::vector<CompressorEntry> WritingCompressors() {
    auto compressors = CreateLibraryObject<vidmill::IAviCompressors>(vidmill::CLSID_AviCompressors);
    CheckLibraryCall(compressors->Reset());
    std::vector<CompressorEntry> entries;
    VARIANT_BOOL more = VARIANT_TRUE;
    while (more != VARIANT_FALSE) {
        cb::ComPtr<vidmill::IAviCompressor> current;
        CheckLibraryCall(compressors->get_Current(current.put()));
        VARIANT_BOOL valid = VARIANT_FALSE;
        VARIANT_BOOL writes = VARIANT_FALSE;
        if (current && SUCCEEDED(current->get_IsValid(&valid)) &&
            SUCCEEDED(current->get_SupportsWriting(&writes)) && valid != VARIANT_FALSE &&
            writes != VARIANT_FALSE)
            entries.push_back(EntryOf(*current));
        CheckLibraryCall(compressors->Next(&more));
    }
    return entries;
}

}  // namespace composer
