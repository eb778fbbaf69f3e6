// Command-line front end of the engine.
namespace geoplait {}
