// The location texts that an error report names, one per trapped handler: project word, date stamp,
// window, handler, and one trailing space (the report goes on with "at line ").
#pragma once

#include <array>
#include <string_view>

namespace kestrelmoor {

inline constexpr std::string_view kLocationForm1FormLoad = "in Kestrelwick2017/04/05.Form1.Form_Load ";
inline constexpr std::string_view kLocationForm1PushButton3Click =
    "in Kestrelwick2017/04/05.Form1.PushButton3_Click ";
inline constexpr std::string_view kLocationForm1PushButton4Click =
    "in Kestrelwick2017/04/05.Form1.PushButton4_Click ";
inline constexpr std::string_view kLocationForm1PushButton5Click =
    "in Kestrelwick2017/04/05.Form1.PushButton5_Click ";
inline constexpr std::string_view kLocationForm2FormLoad = "in Kestrelwick2017/04/05.Form2.Form_Load ";
inline constexpr std::string_view kLocationForm2PushButton1Click =
    "in Kestrelwick2017/04/05.Form2.PushButton1_Click ";
inline constexpr std::string_view kLocationForm2PushButton2Click =
    "in Kestrelwick2017/04/05.Form2.PushButton2_Click ";
inline constexpr std::string_view kLocationForm2PushButton3Click =
    "in Kestrelwick2017/04/05.Form2.PushButton3_Click ";
inline constexpr std::string_view kLocationForm2PushButton4Click =
    "in Kestrelwick2017/04/05.Form2.PushButton4_Click ";
inline constexpr std::string_view kLocationForm2PushButton5Click =
    "in Kestrelwick2017/04/05.Form2.PushButton5_Click ";
inline constexpr std::string_view kLocationForm2PushButton6Click =
    "in Kestrelwick2017/04/05.Form2.PushButton6_Click ";
inline constexpr std::string_view kLocationForm2PushButton7Click =
    "in Kestrelwick2017/04/05.Form2.PushButton7_Click ";
inline constexpr std::string_view kLocationForm2PushButton9Click =
    "in Kestrelwick2017/04/05.Form2.PushButton9_Click ";

inline constexpr std::array<std::string_view, 13> kAllLocations = {
    kLocationForm1FormLoad,         kLocationForm1PushButton3Click, kLocationForm1PushButton4Click,
    kLocationForm1PushButton5Click, kLocationForm2FormLoad,         kLocationForm2PushButton1Click,
    kLocationForm2PushButton2Click, kLocationForm2PushButton3Click, kLocationForm2PushButton4Click,
    kLocationForm2PushButton5Click, kLocationForm2PushButton6Click, kLocationForm2PushButton7Click,
    kLocationForm2PushButton9Click,
};

}  // namespace kestrelmoor
