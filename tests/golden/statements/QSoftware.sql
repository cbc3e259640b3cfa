select *
from softwareconfig
