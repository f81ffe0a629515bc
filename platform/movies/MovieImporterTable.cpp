#include "platform/movies/MovieImporterTable.h"

namespace {

constexpr UInt32 F = kMovieImportFileFlags;

const MovieImporterComponentInfo kMovieImporters[] = {
    {'AIFF', 'soun', F, "AIFF Importer", "aif aiff", "FFmpeg"},
    {'AIF ', 'soun', F, "AIFF Importer", "aif", "FFmpeg"},
    {'AIFC', 'soun', F, "AIFC Importer", "aifc", "FFmpeg"},
    {'WAVE', 'soun', F, "WAVE Importer", "wav", "FFmpeg"},
    {'WAV ', 'soun', F, "WAVE Importer", "wav", "FFmpeg"},
    {'ULAW', 'soun', F, "\xB5Law Importer", "au ulw", "FFmpeg"},
    {'AU  ', 'soun', F, "\xB5Law Importer", "au", "FFmpeg"},
    {'Sd2f', 'soun', F, "Sound Designer II Importer", "sd2", "FFmpeg"},
    {'MPG3', 'soun', F, "MPEG Layer-3 Audio Importer", "mp3", "FFmpeg"},
    {'Mp3 ', 'soun', F, "MPEG Layer-3 Audio Importer", "mp3", "FFmpeg"},
    {'M4A ', 'soun', F, "MPEG-4 Audio Importer", "m4a", "FFmpeg"},
    {'Midi', 'musi', F, "MIDI Importer", "mid midi", "FFmpeg"},
    {'MID ', 'musi', F, "MIDI Importer", "mid", "FFmpeg"},
    {'KAR ', 'musi', F, "Karaoke Importer", "kar", "FFmpeg"},
    {'MPEG', 'appl', F, "MPEG Importer", "mpg mpeg m1v", "FFmpeg"},
    {'mpg4', 'appl', F, "MPEG-4 Importer", "mp4", "FFmpeg"},
    {'MP4 ', 'appl', F, "MPEG-4 Importer", "mp4", "FFmpeg"},
    {'M4V ', 'appl', F, "MPEG-4 Importer", "m4v", "FFmpeg"},
    {'3gpp', 'appl', F, "3GPP Importer", "3gp", "FFmpeg"},
    {'3GP ', 'appl', F, "3GPP Importer", "3gp", "FFmpeg"},
    {'AVI ', 'appl', F, "AVI Importer", "avi", "FFmpeg"},
    {'DV  ', 'appl', F, "DV Importer", "dv dif", "FFmpeg"},
    {'dvc!', 'appl', F, "DV Importer", "dv", "FFmpeg"},
    {'FLC ', 'appl', F, "FLC Importer", "flc fli", "FFmpeg"},
    {'FLI ', 'appl', F, "FLC Importer", "fli", "FFmpeg"},
    {'PICS', 'appl', F, "PICS Importer", "pics", "own PICS reader"},
    {'SWFL', 'appl', F, "Flash Importer", "swf", "FFmpeg"},
    {'SWF ', 'appl', F, "Flash Importer", "swf", "FFmpeg"},
    {'GIFf', 'appl', F, "GIF Importer", "gif", "giflib"},
    {'GIF ', 'appl', F, "GIF Importer", "gif", "giflib"},
    {'DICM', 'appl', F, "DICOM Importer", "dcm", "own DICOM reader"},
};

}  // namespace

int CountMovieImporterComponents() {
    return int(sizeof kMovieImporters / sizeof kMovieImporters[0]);
}

const MovieImporterComponentInfo* GetMovieImporterComponent(int index) {
    if (index < 0 || index >= CountMovieImporterComponents()) return nullptr;
    return &kMovieImporters[index];
}
