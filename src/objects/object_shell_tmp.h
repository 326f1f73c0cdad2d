#pragma once
#include "display/input.h"
#include "game/kestrova.h"
