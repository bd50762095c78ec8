#pragma once
// A non-owning reference to a callable, for injecting the system's answers
// (full paths, directories, registry values) into portable logic without the
// allocation and exceptions of std::function.

#include <type_traits>
#include <utility>

template <typename Signature>
class FunctionRef;

template <typename R, typename... Args>
class FunctionRef<R(Args...)> {
 public:
  // A plain function.
  FunctionRef(R (*function)(Args...))  // NOLINT: implicit by design
      : call_([](Target target, Args... args) -> R {
          return target.function(std::forward<Args>(args)...);
        }) {
    target_.function = function;
  }

  // A lambda or other callable object, which must outlive the reference.
  template <typename F,
            typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, FunctionRef> &&
                                        !std::is_function_v<std::remove_reference_t<F>> &&
                                        !std::is_pointer_v<std::decay_t<F>>>>
  FunctionRef(F&& f)  // NOLINT: implicit by design
      : call_([](Target target, Args... args) -> R {
          return (*static_cast<std::remove_reference_t<F>*>(target.object))(
              std::forward<Args>(args)...);
        }) {
    target_.object = const_cast<void*>(static_cast<const void*>(&f));
  }

  R operator()(Args... args) const { return call_(target_, std::forward<Args>(args)...); }

 private:
  union Target {
    void* object;
    R (*function)(Args...);
  };
  Target target_;
  R (*call_)(Target, Args...);
};
