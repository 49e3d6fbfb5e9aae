# Read by ctest after the discovered test lists.
set_tests_properties(BatchRun.ARecordingPlaysOnARealSpeakerCardInRealTime PROPERTIES LABELS "realtime;alsa")
