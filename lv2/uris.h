// The URIs that name Velum's LV2 plug-in; the build reads VELUM_LV2_URI from here for the Turtle.
#pragma once

#define VELUM_LV2_URI "https://tamber.audio/velum"
// The one state property: the whole saved state as an atom chunk.
#define VELUM_LV2_STATE_PROPERTY_URI VELUM_LV2_URI "#state_data"
