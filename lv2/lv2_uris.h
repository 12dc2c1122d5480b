// The plug-in's identity for LV2 hosts.  Both URIs are stored in every saved
// project: never change them.
#pragma once

#define VMO_LV2_PLUGIN_URI "urn:morvo-phonics:vellomarquin-overdrive"
#define VMO_LV2_STATE_URI VMO_LV2_PLUGIN_URI "#state_data"
