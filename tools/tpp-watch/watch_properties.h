// The player's checks of the element's properties, before anything plays:
// a name the element lacks is named with the nearest ones, a value it does
// not take with what it takes (an enum's values, a number's range).
#pragma once

#include <glib-object.h>

#include <string>
#include <vector>

// Sets each NAME=VALUE as gst-launch reads a value; one sentence for each
// that is refused, GLib's warnings while setting it among them.
std::vector<std::string> SetProperties(GObject* element, char** settings, int count);
