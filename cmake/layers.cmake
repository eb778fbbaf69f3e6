# The layers of src/, bottom-up: one folder and one library each. A layer
# includes and links only the layers listed for it, all of them below it; the
# readers, the writers and the KML output stand side by side and never include
# one another. CMakeLists.txt builds the libraries from this table and
# check_layers.cmake holds every #include of src/ against it.
set(GEOPLAIT_LAYERS base geo settings engine readers writers kml photo job cli ui)

# The layers whose libraries src/CMakeLists.txt builds; cli and ui build
# their own (geoplait_cli_lib, geoplait_ui) on top.
set(GEOPLAIT_LIBRARY_LAYERS base geo settings engine readers writers kml photo job)

set(GEOPLAIT_LAYER_base "")
set(GEOPLAIT_LAYER_geo base)
set(GEOPLAIT_LAYER_settings base geo)
set(GEOPLAIT_LAYER_engine base geo settings)
set(GEOPLAIT_LAYER_readers base geo settings engine)
set(GEOPLAIT_LAYER_writers base geo settings engine)
set(GEOPLAIT_LAYER_kml base geo settings engine)
set(GEOPLAIT_LAYER_photo base geo settings engine readers writers kml)
set(GEOPLAIT_LAYER_job base geo settings engine readers writers kml photo)
set(GEOPLAIT_LAYER_cli base geo settings engine readers writers kml photo job)
set(GEOPLAIT_LAYER_ui base geo settings engine readers writers kml photo job)
