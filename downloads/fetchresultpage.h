#pragma once

// The texts the fetcher shows of a fetched picture: the one-line page that
// shows a single picture in the viewer tab, and the status line's facts.

#include <QString>

#include <cstdint>

// The page around the picture at path ("" for a failed fetch): black, the
// picture centred at the top at its natural size. The address is the
// encoded file URL, escaped for the attribute: a file name never adds
// markup to the page.
QString FetchResultPageHtml(const QString& path);

// " 1: name - 12.06 KBytes - 480 * 640 - 24 Bit": the cell number (slot +
// 1), the file's name (after "~~~" for a fetched file), its size, and when
// known its height, width and colour depth.
QString FetchInfoLine(int16_t slot, const QString& path, qint64 bytes, bool hasInfo, int height, int width, int depth);

// The result page's file for a slot: prefix, slot number, "N.htm".
QString FetchResultPagePath(const QString& tempPagePrefix, int16_t slot);
