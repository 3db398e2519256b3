#pragma once
// One place for the version: the version resource and the code read it here.
#define TAVELIN_VERSION_MAJOR 2
#define TAVELIN_VERSION_MINOR 0
#define TAVELIN_VERSION_PATCH 0
#define TAVELIN_VERSION_BUILD 1
#define TAVELIN_VERSION_TEXT "2.0.0.1"
