#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "host/CommandLine.h"

namespace host {

class HostSession;

// The headless front-end: the widget drawn into PNG files and driven by scripts,
// with no window. On the demo player time is the manual clock, so a run takes
// only as long as the drawing; with MPRIS players it is the system clock.

// The session options of a headless run.
HostOptions headlessOptions(HostOptions options);

// Draws the session's widget at `scale` into a PNG at `path`, over the
// notification centre's dark backdrop unless `transparent`. Throws HostFailure
// naming the file when it cannot be written.
void writeWidgetPng(HostSession& session, const std::string& path, CGFloat scale, bool transparent);

// `trillbox snapshot OUT.png [--at SECONDS] [--transparent]`: presents the
// widget, lets SECONDS pass (1 by default, at most kLongestWait) and writes the
// picture.
int runSnapshotCommand(const CommandLine& line, std::ostream& out);

// `trillbox record DIR --seconds S [--fps N] [--transparent]`: presents the widget
// and writes a frame every 1/N s from 0 to S as DIR/frame-NNNN.png and into the
// animated PNG DIR/animation.png, holding one frame in memory at a time. A
// recording whose files might not fit the free space is refused before it starts.
int runRecordCommand(const CommandLine& line, std::ostream& out);

// The most bytes `frameCount` frames of this many pixels can take on disk, as
// frame files and in the animation, however badly they compress.
std::uint64_t recordingBytesNeeded(double pixelWidth, double pixelHeight, int frameCount);

// Throws HostFailure, naming both amounts, when `directory` (or, while it does not
// exist, the nearest folder above it) has fewer than `bytes` bytes free.
void requireFreeSpace(const std::filesystem::path& directory, std::uint64_t bytes);

// `trillbox script FILE|-`: runs an automation script (see ScriptRunner).
int runScriptCommand(const CommandLine& line, std::ostream& out);

// `trillbox settings [KEY VALUE | --reset]`.
int runSettingsCommand(const CommandLine& line, std::ostream& out);

} // namespace host
