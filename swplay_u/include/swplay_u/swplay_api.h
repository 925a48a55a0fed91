#pragma once
#define SWPLAY_U_API __attribute__((visibility("default")))
