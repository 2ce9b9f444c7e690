// The program's one network routine: a blocking HTTP GET over WinINet that keeps the window
// responsive, with an optional progress bar, activity timer and cancel flag.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/transfer/body_sink.h"
#include "app/transfer/connection.h"

namespace host {
class PictureBox;
class Timer;
}  // namespace host

namespace modI {

// Connect, send and receive time-out of every transfer, milliseconds: long enough for a
// slow line, short enough that a stalled server cannot hang the program for ever.
// Tests shorten it.
extern DWORD NetworkTimeoutMs;

// The wait before a broken download is asked for the rest after a try that brought nothing,
// milliseconds; each further fruitless try in a row waits twice as long. A break after progress
// is asked again at once. Tests shorten it.
extern DWORD ResumeWaitMs;

// Size of one read.
inline constexpr DWORD kReadSize = 32000;

// Gets `url` and returns the body; empty on failure or cancel (then `fileName` is empty too).
//  wantFile     the caller expects a file: the name comes from the content-disposition
//               header, and a reply without a content length is read with one read
//  progress     where the percentage is drawn; when given, the content length is asked for
//  cancel       read after every read; once true the transfer ends and nothing is returned
//  activity     enabled when the body transfer starts
//  minSize      smallest content length whose body is read
//  waiting      how the calls wait (Connection): on the window's thread with its events
//               running, or blocked on a thread of the caller's own
//  sink         where a body read in the loop goes as it arrives (the result then holds only a
//               short reply read with one read); null: into the result. `fileName` is set
//               before the first piece reaches it; a failed transfer restarts it (it holds
//               nothing then)
// A body that runs past its announced length is a failure; one that ends before it (the line
// broke, or stalled past the time-out) is a failure too unless the download can be resumed: a
// file whose answer named an ETag or a Last-Modified date is asked again for the rest, at
// the address that answered with it, with the progress bar left where it was (see
// ResumeTries for how often). A truncated body is never handed on.
std::string FetchUrl(const std::string& url, const std::string& headers, bool wantFile,
                     std::string& fileName, host::PictureBox* progress, const bool& cancel,
                     host::Timer* activity, std::int32_t minSize, Waiting waiting = Waiting::WithEvents,
                     BodySink* sink = nullptr);

// Draws `percent` as a filled bar with a centred text into the picture box.
void DrawProgress(host::PictureBox& progress, std::uint8_t percent);

}  // namespace modI
