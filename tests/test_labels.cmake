# Read by ctest after the discovered test lists.
set_tests_properties(BatchRun.ARecordingPlaysOnARealSpeakerCardInRealTime PROPERTIES LABELS "realtime;alsa")
# Port 3020 is the link's: its run never shares the machine with another.
set_tests_properties(LinkRun.AudioFlowsTransmissionsArePacedAndOneClientIsServedAtATime
                     PROPERTIES LABELS "realtime;alsa" RUN_SERIAL TRUE TIMEOUT 300)
set_tests_properties(LinkAbuse.TheStationKeepsServingThroughHostileClients
                     PROPERTIES LABELS "realtime;alsa" RUN_SERIAL TRUE TIMEOUT 300)
set_tests_properties(Soak.HoursInMinutesMemoryFlatTicksOnTime
                     PROPERTIES LABELS "realtime;alsa" RUN_SERIAL TRUE TIMEOUT 1200)
