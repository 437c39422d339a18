#pragma once
// Reference counting for the module's objects: the last Release deletes the object.
#include <atomic>
#include <cstdint>

#include "codecs/WmaAudioApi.h"

template <class Derived, class Interface> class ComObject : public Interface {
public:
    HRESULT QueryInterface(const void*, void**) override { return E_NOINTERFACE; }
    uint32_t AddRef() override { return ++references_; }
    uint32_t Release() override {
        const uint32_t left = --references_;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }

protected:
    ComObject() = default;
    ~ComObject() = default;

private:
    std::atomic<uint32_t> references_{1};
};
