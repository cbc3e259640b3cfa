Update Menu Set Version = 3 Where Version Is Null And Command Is Not Null
