// Behaviour every window of the client shares (filled in with the windows).
namespace kerbolt::ui {}
