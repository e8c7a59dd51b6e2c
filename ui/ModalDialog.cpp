#include "ui/ModalDialog.h"

namespace {

ModalHook& Hook() {
    static ModalHook hook;
    return hook;
}

}  // namespace

ModalHook SetModalHook(ModalHook hook) { return std::exchange(Hook(), std::move(hook)); }

const ModalHook& ModalHookInForce() { return Hook(); }
