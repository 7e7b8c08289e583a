#include "frame/class_table.h"

#include "compressors/avi_compressor.h"
#include "compressors/avi_compressors.h"
#include "reader/avi_reader_object.h"
#include "writer/avi_writer_object.h"

namespace vidmill {

const std::array<ClassEntry, 7>& Classes() {
    static const std::array<ClassEntry, 7> classes{{
        {CLSID_AviWriter, IAviWriter::kIid, "AviWriter", "Creates AVI files from pictures, images and sound",
         true, &NewAviWriter},
        {CLSID_AviWatermark, IAviWatermark::kIid, "AviWatermark",
         "Watermark drawn over the frames of an AVI writer", false, nullptr},
        {CLSID_AviCompressor, IAviCompressor::kIid, "AviCompressor", "Describes one video compressor", true,
         &NewAviCompressor},
        {CLSID_AviCompressors, IAviCompressors::kIid, "AviCompressors",
         "Lists the installed video compressors", true, &NewAviCompressors},
        {CLSID_AviReader, IAviReader::kIid, "AviReader", "Reads the frames and the sound track of AVI files",
         true, &NewAviReader},
        {CLSID_AviFrame, IAviFrame::kIid, "AviFrame", "One frame of an AVI file", false, nullptr},
        {CLSID_AviFrames, IAviFrames::kIid, "AviFrames", "The frames of an AVI file", false, nullptr},
    }};
    return classes;
}

const ClassEntry* FindClass(REFCLSID clsid) {
    for (const auto& entry : Classes())
        if (entry.clsid == clsid) return &entry;
    return nullptr;
}

}  // namespace vidmill
