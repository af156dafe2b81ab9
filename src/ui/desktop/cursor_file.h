// SPDX-License-Identifier: MIT
// Reads the hand pointer's file format.
#pragma once

#include <optional>

#include <QByteArray>
#include <QImage>
#include <QPoint>

namespace kestrelmoor::ui {

// The first image of a Windows cursor file (.cur; an icon file is read the same way, with its hot spot
// in the middle) and its hot spot. Images are stored as PNG or as a device-independent bitmap of 1, 4,
// 8, 24 or 32 bits per pixel with its transparency mask. std::nullopt for anything malformed or cut
// short.
struct CursorPicture {
    QImage image;
    QPoint hotspot;
};
std::optional<CursorPicture> DecodeCursorFile(const QByteArray& bytes);

}  // namespace kestrelmoor::ui
