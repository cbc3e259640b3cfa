SELECT   *
FROM Config
