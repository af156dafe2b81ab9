// SPDX-License-Identifier: MIT
#include "ui/windows/place_tool_tip.h"

#include <QTextDocument>

namespace kestrelmoor::ui {
namespace {

constexpr std::size_t kPlacesShown = 10;

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString PlacesToolTip(const std::vector<PlaceRecorder::PlaceCount>& places) {
    if (places.empty()) return {};
    QStringList lines;
    for (std::size_t i = 0; i < places.size() && i < kPlacesShown; ++i) {
        const PlaceRecorder::PlaceCount& place = places[i];
        lines << QStringLiteral("%1.%2: %3 %4")
                     .arg(Utf8(place.table), Utf8(place.column), QString::number(place.rows),
                          place.rows == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
    }
    if (places.size() > kPlacesShown)
        lines << QStringLiteral("and %1 more").arg(places.size() - kPlacesShown);
    // As rich text, so that a table named like markup is shown as it is named.
    return Qt::convertFromPlainText(lines.join(QLatin1Char('\n')), Qt::WhiteSpaceNoWrap);
}

}  // namespace kestrelmoor::ui
