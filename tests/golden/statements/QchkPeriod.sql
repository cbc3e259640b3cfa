select  * 
from accountperiod
order by accountyear desc
