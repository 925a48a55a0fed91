#pragma once
// Marks the exported classes and functions of the media libraries.
#define MEDIA_API __attribute__((visibility("default")))
