#pragma once
// Whether this machine decodes H.264 in hardware; probed once per process.
namespace handset_sdk {

bool HardwareDecodeSupported();

}  // namespace handset_sdk
