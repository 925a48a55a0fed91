// Empty defaults of the optional node notifications.
#include "fleet_link/gc_node_interface.h"

namespace fleet_link {

void IPicGCWSNodeNotic::OnStartControlRes(int, const char*, const char*, void*) {}
void IPicGCWSNodeNotic::OnAddInstanceRes(int, const char*, const char*, void*) {}
void IPicGCWSNodeNotic::OnReduceInstanceRes(int, const char*, const char*, void*) {}
void IPicGCWSNodeNotic::OnQueryInstanceStatusRes(int, const char*, InstanceStateInfo*, size_t, const char*, void*) {}
void IPicGCWSNodeNotic::OnSwitchMainRes(int, const char*, const char*, void*) {}

}  // namespace fleet_link
