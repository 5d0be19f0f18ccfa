#pragma once

namespace zova {

// Registers TFiler, TKatTemp and TWinTool with the protocol table.
void RegisterNetFileDrivers();

}  // namespace zova
