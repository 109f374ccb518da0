#pragma once

// The console settings that every installation writes first, in this order
// and in exactly this letter case.

#include <array>
#include <string_view>

namespace quorvel {

inline constexpr std::array<std::string_view, 26> BaseSettings = {
    "setu qc_ver 3.1",
    "setu r_light_nolight 0",
    "setu r_showSmp 0",
    "setu r_farplane 0",
    "setu r_farplane_nocull 0",
    "setu r_farplane_nofog 0",
    "setu r_novis 0",
    "setu r_lightmap 0",
    "setu cg_te_dietouch 0",
    "setu r_fullbright 0",
    "setu r_vertexlight 0",
    "setu g_showbullettrace 0",
    "setu cheats 0",
    "setu r_mapOverBrightBits 1",
    "setu developers 0",
    "setu r_light_showgrid 0",
    "setu r_overbrightbits 0",
    "setu r_showsky 0",
    "setu r_nobind 0",
    "setu r_showcull", // carries no value
    "setu r_singleshader 0",
    "setu ib_wallhack 0",
    "setu ib_hud 0",
    "setu ib_doaim 0",
    "setu ib_doshoot 0",
    "cheats 0", // no "setu" prefix
};

} // namespace quorvel
