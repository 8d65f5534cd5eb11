#pragma once
// The control class for each kind of record a form description holds.
#include <memory>
#include <string>

#include "framework/core/Control.h"

std::unique_ptr<TControl> CreateControlOfKind(TControlKind kind, const std::wstring& name);
