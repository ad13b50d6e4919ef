// Internal: the window style bits that change how a window is drawn, with
// the values the Win32 headers give them. Named apart from the Win32 macros
// so that this header and the platform's window API can be included together.
#pragma once

#include "platform/host/internal_header.h"

#include <cstdint>

namespace vtsim::internal::drawing {

namespace ws {  // WS_*
inline constexpr std::uint32_t Border = 0x00800000;
inline constexpr std::uint32_t Caption = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
}  // namespace ws

namespace ds {  // DS_* (dialogs)
inline constexpr std::uint32_t ModalFrame = 0x00000080;
}  // namespace ds

namespace wsex {  // WS_EX_*
inline constexpr std::uint32_t DlgModalFrame = 0x00000001;
inline constexpr std::uint32_t ToolWindow = 0x00000080;
inline constexpr std::uint32_t ClientEdge = 0x00000200;
inline constexpr std::uint32_t StaticEdge = 0x00020000;
}  // namespace wsex

namespace bs {  // BS_* (buttons)
inline constexpr std::uint32_t TypeMask = 0x0000000F;
inline constexpr std::uint32_t LeftText = 0x00000020;
inline constexpr std::uint32_t Left = 0x00000100;
inline constexpr std::uint32_t Right = 0x00000200;
inline constexpr std::uint32_t Center = 0x00000300;
inline constexpr std::uint32_t Multiline = 0x00002000;
}  // namespace bs

namespace ss {  // SS_* (statics)
inline constexpr std::uint32_t TypeMask = 0x0000001F;
inline constexpr std::uint32_t Left = 0x00;
inline constexpr std::uint32_t Center = 0x01;
inline constexpr std::uint32_t Right = 0x02;
inline constexpr std::uint32_t BlackRect = 0x04;
inline constexpr std::uint32_t GrayRect = 0x05;
inline constexpr std::uint32_t WhiteRect = 0x06;
inline constexpr std::uint32_t BlackFrame = 0x07;
inline constexpr std::uint32_t GrayFrame = 0x08;
inline constexpr std::uint32_t WhiteFrame = 0x09;
inline constexpr std::uint32_t Simple = 0x0B;
inline constexpr std::uint32_t LeftNoWordWrap = 0x0C;
inline constexpr std::uint32_t EtchedHorz = 0x10;
inline constexpr std::uint32_t EtchedVert = 0x11;
inline constexpr std::uint32_t EtchedFrame = 0x12;
inline constexpr std::uint32_t NoPrefix = 0x00000080;
inline constexpr std::uint32_t CenterImage = 0x00000200;
inline constexpr std::uint32_t Sunken = 0x00001000;
}  // namespace ss

namespace cbs {  // CBS_* (combo boxes)
inline constexpr std::uint32_t TypeMask = 0x00000003;
inline constexpr std::uint32_t Simple = 0x0001;
inline constexpr std::uint32_t DropDownList = 0x0003;
}  // namespace cbs

namespace tvs {  // TVS_* (tree views)
inline constexpr std::uint32_t HasButtons = 0x0001;
inline constexpr std::uint32_t HasLines = 0x0002;
inline constexpr std::uint32_t LinesAtRoot = 0x0004;
inline constexpr std::uint32_t ShowSelAlways = 0x0020;
}  // namespace tvs

}  // namespace vtsim::internal::drawing
