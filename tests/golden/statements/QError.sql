select u.code,m.description,errordate,errormsg
from errorlog e
inner join menu m on m.id=e.menu
inner join username u on u.id=e.username
order by errordate desc
