SELECT ConfigString
FROM ProgramSetup
