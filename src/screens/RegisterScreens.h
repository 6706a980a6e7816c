#pragma once
// Registers the progress, settings, F.A.Q. and plan screens with the
// view-controller registry, so that the home screen shows their buttons and
// opens them, and the chart themes the chart page asks for by name. Call
// once at start-up, before the host starts; calling again
// replaces the same factories.
void registerScreens();
