// The process-wide switch that allows GIF and TIFF-LZW work. It is computed from the date when
// the library is loaded, and every EnableLZW member switches it on for good.
#pragma once

namespace vidmill {

struct CalendarDate {
    int year;
    int month;  // 1..12
    int day;    // 1..31
};

// The switch's value when the library is loaded on the given date: on strictly after 20 June 2003.
bool LzwEnabledOn(CalendarDate today);

// The current value of the switch, shared by every object of the process.
bool LzwEnabled();

// Switches GIF and TIFF-LZW work on for every object of the process; nothing switches it off.
// This is the body of the EnableLZW member of the writer, frames, frame and watermark objects.
void EnableLZW();

// Tests only: puts the switch in a known state, as on a machine whose date says so.
void SetLzwEnabledForTesting(bool enabled);

}  // namespace vidmill
