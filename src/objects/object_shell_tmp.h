#pragma once
#include "game/input.h"
#include "game/kestrova.h"
