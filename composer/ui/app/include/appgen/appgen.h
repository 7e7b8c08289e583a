#pragma once
// Everything of the application services in one include.
#include "appgen/app_state.h"
#include "appgen/color.h"
#include "appgen/duration.h"
#include "appgen/files.h"
#include "appgen/folders.h"
#include "appgen/guide.h"
#include "appgen/interaction.h"
#include "appgen/memory.h"
#include "appgen/rounding.h"
#include "appgen/settings.h"
#include "appgen/text_number.h"
#include "appgen/view.h"
