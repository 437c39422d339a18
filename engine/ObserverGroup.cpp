#include "engine/ObserverGroup.h"

ObserverGroup::ObserverGroup(std::vector<std::unique_ptr<AudioObserver>> observers)
    : observers_(std::move(observers)) {}

void ObserverGroup::Block(const AudioBlock& block) {
    for (const auto& observer : observers_) {
        observer->Block(block);
    }
}

void ObserverGroup::End(RowValues& values) {
    for (const auto& observer : observers_) {
        observer->End(values);
    }
}

AudioObserverFactory ObserverGroup::Of(std::vector<AudioObserverFactory> factories) {
    return [factories =
                std::move(factories)](const ConversionSettings& settings,
                                      const std::string& input) -> std::unique_ptr<AudioObserver> {
        std::vector<std::unique_ptr<AudioObserver>> observers;
        for (const AudioObserverFactory& factory : factories) {
            if (auto observer = factory ? factory(settings, input) : nullptr) {
                observers.push_back(std::move(observer));
            }
        }
        if (observers.size() <= 1) {
            return observers.empty() ? nullptr : std::move(observers.front());
        }
        return std::make_unique<ObserverGroup>(std::move(observers));
    };
}
